#include "parseutils/urlfuncs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv::parseutils {
namespace {

struct UrlCase {
    std::string in;
    std::string out;
};

TEST(RemoveHttpSlashTest, OneTrailingSlashThenTheScheme) {
    const std::vector<UrlCase> cases = {
        {"http://example.com/dir/", "example.com/dir"},
        {"example.com//", "example.com/"},
        {"ftp://a://b", "a://b"},  // only the first "://" counts
        {"http://", "http:/"},     // the slash goes first, and with it the "://"
        {"/", ""},
        {"", ""},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(RemoveHttpSlash(c.in), c.out) << c.in;
}

TEST(GetSiteDomainTest, LowerCasedHostWithoutWww) {
    const std::vector<UrlCase> cases = {
        {"HTTP://WWW.Example.COM/Index.html", "example.com"},
        {"ftp://www2.example.com", "www2.example.com"},
        {"http://example.com:8080", "example.com:8080"},
        {"http://user@Example.com/x", "user@example.com"},
        {"http://example.com?q=1", "example.com?q=1"},  // no "/" before the query
        {"www.example.com/a/b", "example.com"},
        {"http://www.www.x/", "www.x"},                  // one "www." only
        {"http://\xC3\x84rger.DE/", "\xC3\x84rger.de"},  // 8-bit lowering: ASCII only
        {"", ""},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(GetSiteDomain(c.in), c.out) << c.in;
}

TEST(GetSiteFirstDomainTest, LastTwoLabels) {
    const std::vector<UrlCase> cases = {
        {"http://news.a.b.co.uk/", "co.uk"},
        {"http://www.shop.example.com/x", "example.com"},
        {"localhost", ""},
        {"http://10.0.0.1/", "0.1"},
        {"http://example.com:8080/", "example.com:8080"},
        {"http://a.b.c:80/", "b.c:80"},
        {"http://.com/", ".com"},
        {"http://a./", "a."},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(GetSiteFirstDomain(c.in), c.out) << c.in;
}

TEST(SiteAndDomainListsTest, Comparisons) {
    EXPECT_TRUE(SitesInOneDomain("http://a/", "http://b/"));  // both give the empty text
    EXPECT_TRUE(SitesInOneDomain("http://10.0.0.1/", "http://192.168.0.1/"));
    EXPECT_TRUE(SitesInOneDomain("http://news.Example.com/", "EXAMPLE.COM"));
    EXPECT_FALSE(SitesInOneDomain("http://example.com/", "http://example.org/"));

    const std::vector<std::string> list = {"http://other.org/", "HTTP://WWW.Shop.Example.com/x"};
    EXPECT_TRUE(CheckSiteInList("http://shop.example.com", list));
    EXPECT_FALSE(CheckSiteInList("http://example.com", list));
    EXPECT_TRUE(CheckDomainInList("http://example.com", list));
    EXPECT_FALSE(CheckDomainInList("http://example.net", list));
    EXPECT_FALSE(CheckSiteInList("", {}));
    EXPECT_FALSE(CheckDomainInList("localhost", {}));
    EXPECT_TRUE(CheckDomainInList("localhost", {"x"}));
}

TEST(GetSiteUrlAfterDomainTest, RestInItsOwnCase) {
    const std::vector<UrlCase> cases = {
        {"http://www.Example.com/Path/Page.HTML", "/Path/Page.HTML"},
        {"http://example.com", "/"},
        {"http://example.com/", "/"},
        {"http://example.com:8080/A?B=C", "/A?B=C"},
        {"example.com/X/", "/X/"},
        {"http://", "//"},  // the domain is "http:" here
        {"", ""},
        // The host also occurs earlier in the text; the rest still follows the host itself.
        {"http://t/Page", "/Page"},
        {"http://www.ww/Page", "/Page"},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(GetSiteUrlAfterDomain(c.in), c.out) << c.in;
    EXPECT_EQ(GetSiteUrlAfterDomainLower("http://www.Example.com/Path/Page.HTML"),
              "/path/page.html");
    EXPECT_EQ(GetSiteUrlAfterDomainLower("http://a.com/\xC3\x84/X"), "/\xC3\x84/x");
}

TEST(EncodeWordTest, LettersAndDotStayAndALiteralPlusIsEscaped) {
    const std::vector<UrlCase> cases = {
        {"rock & roll", "rock+%26+roll"},
        {"a+b c", "a%2Bb+c"},
        {"C++", "C%2B%2B"},
        {"mp3 player", "mp%33+player"},
        {"e-mail", "e%2Dmail"},
        {"a_b.c~", "a%5Fb.c%7E"},
        {"0", "%30"},
        {"\xC3\xA9t\xC3\xA9", "%C3%A9t%C3%A9"},
        {"%\t\n", "%25%09%0A"},
        {"", ""},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(EncodeWord(c.in), c.out) << c.in;
    EXPECT_EQ(EncodeWord(std::string("a\0b", 3)), "a%00b");
}

TEST(GetBaseURLTest, FirstBaseBelowTheHead) {
    const std::vector<UrlCase> cases = {
        {"<html><head><base href=\"http://b.example/x/\"></head></html>", "http://b.example/x/"},
        {"<HTML><HEAD><TITLE>t</TITLE><BASE HREF='/rel/?a=1&amp;b=2'></HEAD>", "/rel/?a=1&amp;b=2"},
        {"<head><base target=_top><base href=\"http://second/\"></head>", ""},
        {"<head><base href=\"http://first/\"><base href=\"http://second/\"></head>",
         "http://first/"},
        {"<head></head><body><base href=\"http://body/\"></body>", ""},
        {"<base href=\"http://nohead/\">", ""},
        {"<head><base href=\"\"></head>", ""},
        {"", ""},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(GetBaseURL(c.in), c.out) << c.in;
}

TEST(MyCombineURLTest, HttpPrefixAndBaseOnFailure) {
    struct Case {
        std::string base, relative, out;
    };
    const std::vector<Case> cases = {
        {"example.com/a/", "b.html", "http://example.com/a/b.html"},
        {"http://example.com/a/b", "../c?p=2&start=10", "http://example.com/c?p=2&start=10"},
        {"http://example.com/a/b", "https://other/x", "https://other/x"},
        {"", "", "http://"},
        {"", "page2", "http:///page2"},
        // Failures give the base as given.
        {"/x://y", "page2", "/x://y"},
        {"1x://a/", "page2", "1x://a/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MyCombineURL(c.base, c.relative), c.out) << c.base << " + " << c.relative;
}

TEST(MyCanonicalizeAndDecodeTest, InputBackOnFailure) {
    EXPECT_EQ(MyCanonicalizeUrl("http://a/b c/../d?x y"), "http://a/d?x y");
    EXPECT_EQ(MyCanonicalizeUrl(""), "");
    EXPECT_EQ(MyCanonicalizeUrl("page 2.html"), "page 2.html");
    EXPECT_EQ(MyDecodeUrl("a%20b%zz"), "a b%zz");
    EXPECT_EQ(MyDecodeUrl(""), "");
}

}  // namespace
}  // namespace kv::parseutils
