#include "http/httpaddress.h"

#include <gtest/gtest.h>

namespace kv::http {
namespace {

struct SplitCase {
    const char* address;
    const char* scheme;
    const char* user;
    const char* password;
    const char* host;
    const char* port;
    const char* path;
};

TEST(SplitAddressTest, AllTheRules) {
    const SplitCase cases[] = {
        {"http://www.example.test/a/b?c=d", "http", "", "", "www.example.test", "", "/a/b?c=d"},
        {"http://www.example.test", "http", "", "", "www.example.test", "", "/"},
        {"HTTP://h.test:8080", "HTTP", "", "", "h.test", "8080", "/"},
        {"www.example.test/x", "", "", "", "www.example.test", "", "/x"},
        {"h.test?q=/a", "", "", "", "h.test", "", "/?q=/a"},
        {"/bare/path?x", "", "", "", "", "", "/bare/path?x"},
        {"//h.test/p", "", "", "", "", "", "//h.test/p"},
        {"http:relative.html", "http", "", "", "", "", "relative.html"},
        {"mailto:me@mail.test", "mailto", "me", "", "mail.test", "", "/"},
        {"http://u:p:w@h.test:81/p", "http", "u", "p:w", "h.test", "81", "/p"},
        {"http://a@b@h.test/", "http", "a@b", "", "h.test", "", "/"},
        {"http://h.test/p@q:1", "http", "", "", "h.test", "", "/p@q:1"},
        {"ht tp://h.test/", "", "", "", "ht tp", "", "//h.test/"},
        {"svn+ssh://h.test/r", "svn+ssh", "", "", "h.test", "", "/r"},
        {"", "", "", "", "", "", "/"},
    };
    for (const SplitCase& c : cases) {
        UrlParts p = SplitAddress(c.address);
        EXPECT_EQ(p.scheme, c.scheme) << c.address;
        EXPECT_EQ(p.user, c.user) << c.address;
        EXPECT_EQ(p.password, c.password) << c.address;
        EXPECT_EQ(p.host, c.host) << c.address;
        EXPECT_EQ(p.port, c.port) << c.address;
        EXPECT_EQ(p.path, c.path) << c.address;
    }
    EXPECT_TRUE(SplitAddress("http://@h.test/").hasUser);
    EXPECT_FALSE(SplitAddress("http://h.test/").hasUser);
    EXPECT_EQ(SplitAddress("h.test").PortOrDefault(), "80");
}

TEST(SplitAddressTest, AbsoluteTargetDropsCredentialsAndDefaultsTheScheme) {
    EXPECT_EQ(AbsoluteTarget(SplitAddress("http://u:p@h.test:8080/a?b")), "http://h.test:8080/a?b");
    EXPECT_EQ(AbsoluteTarget(SplitAddress("h.test")), "http://h.test/");
}

TEST(SplitAddressTest, HttpPrefixOnlyWithoutALowerCaseScheme) {
    EXPECT_EQ(WithHttpPrefix("h.test/a"), "http://h.test/a");
    EXPECT_EQ(WithHttpPrefix("http://h.test/a"), "http://h.test/a");
    EXPECT_EQ(WithHttpPrefix("ftp://h.test/a"), "ftp://h.test/a");
    EXPECT_EQ(WithHttpPrefix("HTTP://h.test/a"), "http://HTTP://h.test/a");
}

TEST(ResolveLocationTest, AbsoluteRootedAndRelative) {
    const std::string current = "http://h.test:81/dir/sub/page?from=/x/y";
    struct Case {
        const char* location;
        const char* address;
        bool fetchable;
    } cases[] = {
        {"http://other.test/z", "http://other.test/z", true},
        {"HTTP://other.test/z", "HTTP://other.test/z", true},
        {"https://other.test/z", "https://other.test/z", true},
        {"//other.test/z", "http://other.test/z", true},
        {"ftp://files.test/f", "ftp://files.test/f", false},
        {"/rooted?q", "http://h.test:81/rooted?q", true},
        {"next.html", "http://h.test:81/dir/sub/next.html", true},
        {"../up", "http://h.test:81/dir/sub/../up", true},
        {"?only=query", "http://h.test:81/dir/sub/?only=query", true},
    };
    for (const Case& c : cases) {
        RedirectTarget target = ResolveLocation(current, c.location);
        EXPECT_EQ(target.address, c.address) << c.location;
        EXPECT_EQ(target.fetchable, c.fetchable) << c.location;
    }
    // The directory part also ends at a ":" and never looks into the query.
    EXPECT_EQ(ResolveLocation("http:a:b", "c").address, "http:///a:c");
    EXPECT_EQ(ResolveLocation("http://h.test", "x").address, "http://h.test/x");
}

}  // namespace
}  // namespace kv::http
