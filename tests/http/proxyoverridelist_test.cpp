#include "http/proxyoverridelist.h"

#include <gtest/gtest.h>

#include "http/wildcardmask.h"

namespace kv::http {
namespace {

TEST(WildcardMaskTest, StarQuestionMarkAndSetsIgnoringCase) {
    struct Case {
        const char* text;
        const char* mask;
        bool match;
    } cases[] = {
        {"www.example.com", "*.example.com", true},
        {"example.com", "*.example.com", false},
        {"WWW.EXAMPLE.COM", "*.example.com", true},
        {"a.b.c", "*", true},
        {"", "*", true},
        {"", "", true},
        {"x", "", false},
        {"host1", "host?", true},
        {"host12", "host?", false},
        {"hostb", "host[abc]", true},
        {"hostd", "host[abc]", false},
        {"hostQ", "host[p-r]", true},
        {"host[", "host[", true},
        {"10.0.0.5", "10.*.5", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
        {"8080", "80*", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesMask(c.text, c.mask), c.match) << c.text << " ~ " << c.mask;
    }
}

TEST(ProxyOverrideListTest, LoadsTheSemicolonAndCommaForms) {
    TProxyOverrideList list;
    std::string text = " *.b.test ;\t<local>;;  a.test ; ";
    list.Load(text);
    EXPECT_EQ(list.SourceText(), text);
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"*.b.test", "<local>", "a.test"}));
    list.Load("z.test,,A.test,\"q,r\",a.test,");
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"A.test", "a.test", "q,r", "z.test"}));
    list.Load(";;");
    EXPECT_TRUE(list.Entries().empty());
}

TEST(ProxyOverrideListTest, LocalMatchesHostsWithoutADot) {
    TProxyOverrideList list;
    list.Load("<local>;*.intranet.test");
    EXPECT_TRUE(list.Matches("printer", "", ""));
    EXPECT_FALSE(list.Matches("www.example.test", "", ""));
    EXPECT_TRUE(list.Matches("wiki.intranet.test", "", ""));
    EXPECT_FALSE(list.Matches("", "http", "80"));
    TProxyOverrideList empty;
    EXPECT_FALSE(empty.Matches("printer", "", ""));
}

TEST(ProxyOverrideListTest, SchemeAndPortNarrowAnEntry) {
    TProxyOverrideList list;
    list.Load("http://*.dev.test:8080; 10.0.0.*; ftp://files.test");
    EXPECT_TRUE(list.Matches("app.dev.test", "http", "8080"));
    EXPECT_TRUE(list.Matches("APP.DEV.TEST", "HTTP", "8080"));
    EXPECT_FALSE(list.Matches("app.dev.test", "http", "80"));
    EXPECT_FALSE(list.Matches("app.dev.test", "", ""));
    EXPECT_FALSE(list.Matches("app.dev.test", "https", "8080"));
    EXPECT_TRUE(list.Matches("10.0.0.42", "http", "1234"));
    EXPECT_FALSE(list.Matches("10.0.1.42", "http", "80"));
    EXPECT_FALSE(list.Matches("files.test", "", ""));  // the empty scheme counts as http
    EXPECT_TRUE(list.Matches("files.test", "ftp", "21"));
}

}  // namespace
}  // namespace kv::http
