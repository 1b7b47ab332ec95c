// Set-Cookie parsing, the cookie manager's domain, path and expiry rules, the shared list.
#include <gtest/gtest.h>

#include "http/cookmanager.h"
#include "http/httplimits.h"
#include "http/setcookie.h"
#include "http/sharedcookielist.h"
#include "tests/http/fixed_zone.h"

namespace kv::http::testing {
namespace {

// Tue, 8 Dec 2026 22:03:55 UTC
constexpr UnixSeconds kNow = 1796767435;

class CookieTest : public ::testing::Test {
  protected:
    FixedZone zone{kBerlin};
    TCookManager manager;
};

TEST_F(CookieTest, ParsesEveryAttribute) {
    TCookie c = ParseSetCookie(
        "SID=31d4=d96e ; path=\"/docs\" ; Domain=.example.com; secure; "
        "EXPIRES=Wed, 09 Jun 2021 10:18:14 GMT; Max-Age=60; Version=1; Comment=hi there;",
        kNow);
    EXPECT_EQ(c.name, "SID");
    EXPECT_EQ(c.value, "31d4=d96e");
    EXPECT_EQ(c.path, "/docs");
    EXPECT_EQ(c.domain, ".example.com");
    EXPECT_TRUE(c.secure);
    EXPECT_EQ(c.expires, "Wed, 09 Jun 2021 10:18:14 GMT");  // Expires wins over Max-Age
    EXPECT_EQ(c.maxAge, 60);
    EXPECT_EQ(c.version, "1");
    EXPECT_EQ(c.comment, "hi there");
}

TEST_F(CookieTest, MaxAgeBecomesALocalInternetDate) {
    EXPECT_EQ(ParseSetCookie("k=v; Max-Age=3600", kNow).expires, "Wed, 9 Dec 2026 00:03:55 +0100");
    EXPECT_EQ(ParseSetCookie("k=v; Max-Age=0", kNow).expires, "Tue, 8 Dec 2026 23:03:55 +0100");
    TCookie bad = ParseSetCookie("k=v; Max-Age=soon", kNow);
    EXPECT_EQ(bad.maxAge, -1);
    EXPECT_TRUE(bad.expires.empty());
    // An absurd age stays within the dates an Internet date can write.
    TCookie huge = ParseSetCookie("k=v; Max-Age=9223372036854775807", kNow);
    EXPECT_EQ(ReadInternetDate(huge.expires), kNow + kMaxCookieAgeSeconds);
}

TEST_F(CookieTest, DomainMustDomainMatchTheHostAndNotBeAPublicSuffix) {
    const char* host = "http://www.example.com/";
    manager.AddCookie("own=1; path=/", host, kNow);
    manager.AddCookie("parent=1; path=/; domain=.example.com", host, kNow);
    manager.AddCookie("cased=1; path=/; domain=WWW.Example.com", host, kNow);
    manager.AddCookie("other=1; path=/; domain=.other.com", host, kNow);
    manager.AddCookie("top=1; path=/; domain=.com", host, kNow);
    manager.AddCookie("tail=1; path=/; domain=ample.com", host, kNow);
    manager.AddCookie("cr=a\rb; path=/", host, kNow);
    EXPECT_EQ(manager.Count(), 3u);
    EXPECT_EQ(manager.CookieText("www.example.com/", kNow), "cased=1; parent=1; own=1");
    // A host-only cookie stays with its host; a domain cookie reaches names below it only at
    // a dot boundary.
    EXPECT_EQ(manager.CookieText("http://a.www.example.com/", kNow), "cased=1; parent=1");
    EXPECT_EQ(manager.CookieText("http://shop.example.com/", kNow), "parent=1");
    EXPECT_EQ(manager.CookieText("http://www.example.com.attacker.net/", kNow), "");
    EXPECT_EQ(manager.CookieText("http://notexample.com/", kNow), "");

    manager.AddCookie("ip=1; path=/; domain=127.0.0.1", "http://127.0.0.1:8080/", kNow);
    manager.AddCookie("ipdot=1; path=/; domain=.0.0.1", "http://127.0.0.1:8080/", kNow);
    EXPECT_EQ(manager.CookieText("http://127.0.0.1/", kNow), "ip=1");
}

TEST_F(CookieTest, LongestPathFirstAndOnlyPathsThatPrefixTheDirectory) {
    const char* host = "http://h.example/";
    manager.AddCookie("root=1; path=/", host, kNow);
    manager.AddCookie("deep=3; path=/a/b/", host, kNow);
    manager.AddCookie("mid=2; path=\"/a/\"", host, kNow);
    manager.AddCookie("other=4; path=/z/", host, kNow);
    manager.AddCookie("nopath=5", host, kNow);
    manager.AddCookie("secure=6; path=/; secure", host, kNow);
    manager.AddCookie("empty=; path=/", host, kNow);
    EXPECT_EQ(manager.CookieText("http://h.example/a/b/page.html?x=/z/", kNow),
              "deep=3; mid=2; root=1");
    EXPECT_EQ(manager.CookieText("http://h.example/a/b", kNow), "mid=2; root=1");
    EXPECT_EQ(manager.CookieText("http://h.example", kNow), "root=1");
}

// Equal paths come out in reverse order of arrival: sorted by path, emitted from the end.
TEST_F(CookieTest, SameNameInTheSameDomainReplaces) {
    manager.AddCookie("k=old; path=/", "http://h.example/", kNow);
    manager.AddCookie("k=new; path=/", "http://h.example/", kNow);
    manager.AddCookie("K=upper; path=/", "http://h.example/", kNow);
    EXPECT_EQ(manager.CookieText("http://h.example/", kNow), "K=upper; k=new");
}

TEST_F(CookieTest, ExpiredAndUnreadableExpiriesAreDropped) {
    const char* host = "http://h.example/";
    manager.AddCookie("zero=1; path=/; Max-Age=0", host, kNow);
    manager.AddCookie("hour=1; path=/; Max-Age=3600", host, kNow);
    manager.AddCookie("past=1; path=/; expires=Wed, 09 Jun 2021 10:18:14 GMT", host, kNow);
    manager.AddCookie("future=1; path=/; expires=Fri, 01 Jan 2100 00:00:00 GMT", host, kNow);
    manager.AddCookie("bad=1; path=/; expires=someday", host, kNow);
    manager.AddCookie("session=1; path=/", host, kNow);
    EXPECT_EQ(manager.CookieText(host, kNow), "session=1; future=1; hour=1");
    EXPECT_EQ(manager.Count(), 3u);
    EXPECT_EQ(manager.CookieText(host, kNow + 3600), "session=1; future=1");
}

TEST_F(CookieTest, ModeOffKeepsAndSendsNothing) {
    manager.SetMode(TCookieMode::Off);
    manager.AddCookie("k=v; path=/", "http://h.example/", kNow);
    EXPECT_EQ(manager.Count(), 0u);
    EXPECT_EQ(manager.CookieText("http://h.example/", kNow), "");
}

TEST_F(CookieTest, StoresAreCapped) {
    for (std::size_t i = 0; i < kMaxCookiesPerDomain + 10; ++i) {
        manager.AddCookie("c" + std::to_string(i) + "=1; path=/", "http://h.example/", kNow);
    }
    EXPECT_EQ(manager.Count(), kMaxCookiesPerDomain);
    // A known name is still updated when the domain is full.
    manager.AddCookie("c0=2; path=/", "http://h.example/", kNow);
    EXPECT_NE(manager.CookieText("http://h.example/", kNow).find("c0=2"), std::string::npos);
}

TEST(CookieMergeTest, BlankCookieTakesTheTextOtherwiseItIsAppended) {
    std::string cookie = "  ";
    MergeCookieText(cookie, "a=1");
    EXPECT_EQ(cookie, "a=1");
    MergeCookieText(cookie, "");
    EXPECT_EQ(cookie, "a=1");
    MergeCookieText(cookie, "b=2");
    EXPECT_EQ(cookie, "a=1; b=2");
}

TEST(SharedCookieListTest, NamesIgnoreCaseEmptyValuesRemoveOrderIsFirstArrival) {
    SharedCookieList list;
    EXPECT_TRUE(list.Empty());
    list.Set("h.example", "", "SID", "1");
    list.Set("h.example", "", "lang", "en");
    list.Set("h.example", "", "sid", "2");
    EXPECT_EQ(list.Text("h.example"), "SID=2; lang=en");
    list.Set("h.example", "", "Sid", "");
    EXPECT_EQ(list.Text("h.example"), "lang=en");
    list.Set("h.example", "", "missing", "");
    EXPECT_EQ(list.Count(), 1u);
    list.Clear();
    EXPECT_TRUE(list.Empty());
    for (std::size_t i = 0; i < kMaxSharedCookies + 5; ++i)
        list.Set("h.example", "", "n" + std::to_string(i), "v");
    EXPECT_EQ(list.Count(), kMaxSharedCookies);
}

TEST(SharedCookieListTest, EachCookieGoesOnlyToTheHostOrDomainThatSetIt) {
    SharedCookieList list;
    list.Set("shop.com", "", "cart", "1");
    list.Set("www.shop.com", ".shop.com", "sess", "2");
    list.Set("www.shop.com", ".com", "wide", "3");         // a public suffix
    list.Set("www.shop.com", "evil.net", "foreign", "4");  // not the host's domain
    list.Set("engine.test", "", "pref", "5");
    list.Set("engine.test", "", "bad", "x\ry");  // would break the head
    list.Set("other.test", "", "cart", "6");     // same name, other host
    EXPECT_EQ(list.Text("shop.com"), "cart=1; sess=2");
    EXPECT_EQ(list.Text("www.shop.com"), "sess=2");
    EXPECT_EQ(list.Text("evilshop.com.attacker.net"), "");
    EXPECT_EQ(list.Text("shop.com.attacker.net"), "");
    EXPECT_EQ(list.Text("engine.test"), "pref=5");
    EXPECT_EQ(list.Text("other.test"), "cart=6");
    // After a request's own line, a name it has already is not sent twice.
    EXPECT_EQ(list.Text("shop.com", "CART=9; x=1"), "CART=9; x=1; sess=2");
}

TEST(SharedCookieListTest, OneCookieLineIsCapped) {
    SharedCookieList list;
    const std::string value(1000, 'v');
    for (int i = 0; i < 20; ++i) list.Set("h.example", "", "c" + std::to_string(i), value);
    const std::string text = list.Text("h.example");
    EXPECT_LE(text.size(), kMaxCookieLineBytes);
    EXPECT_GT(text.size(), kMaxCookieLineBytes - 1010);  // only what did not fit is left out
    EXPECT_TRUE(text.starts_with("c0="));
}

}  // namespace
}  // namespace kv::http::testing
