// Cookie scopes: the domain rules both cookie stores share, and the public-suffix lists.
#include "http/cookiescope.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/tempdir.h"

namespace kv::http::testing {
namespace {

TEST(PublicSuffixTest, RulesWildcardsAndExceptions) {
    const PublicSuffixList list = PublicSuffixList::FromText(
        "// comment\n\ncom\nco.uk extra words\n*.ck\n!www.ck\nGitHub.IO\n");
    struct Case {
        const char* domain;
        bool suffix;
    } cases[] = {
        {"com", true},          {"co.uk", true},         {"example.co.uk", false},
        {"any.ck", true},       {"www.ck", false},       {"a.any.ck", false},
        {"github.io", true},    {"me.github.io", false}, {"localhost", true},  // one label
        {"example.com", false},
    };
    for (const Case& c : cases) EXPECT_EQ(list.IsPublicSuffix(c.domain), c.suffix) << c.domain;
}

TEST(PublicSuffixTest, AFileWithoutRulesFallsBackToTheBuiltInList) {
    kv::testing::TempDir dir;
    std::ofstream(dir.File("empty.dat")) << "// nothing\n";
    for (const std::string& path : {dir.File("empty.dat"), dir.File("missing.dat")}) {
        const PublicSuffixList list = PublicSuffixList::FromFileOrBuiltIn(path);
        EXPECT_TRUE(list.IsPublicSuffix("co.uk"));
        EXPECT_TRUE(list.IsPublicSuffix("github.io"));
        EXPECT_FALSE(list.IsPublicSuffix("example.co.uk"));
    }
}

TEST(CookieScopeTest, TheDomainAttributeMustDomainMatchAndNotBeAPublicSuffix) {
    const PublicSuffixList suffixes = PublicSuffixList::BuiltIn();
    struct Case {
        const char* domain;
        const char* host;
        const char* scope;  // "" when refused; "=" prefix for host-only
    } cases[] = {
        {"", "Shop.com", "=shop.com"},
        {".shop.com", "www.shop.com", "shop.com"},
        {"shop.com", "a.b.shop.com", "shop.com"},
        {"WWW.Shop.COM", "www.shop.com", "www.shop.com"},
        {".com", "shop.com", ""},
        {"co.uk", "shop.co.uk", ""},
        {"op.com", "shop.com", ""},  // no dot boundary
        {"other.com", "shop.com", ""},
        {"a.shop.com", "shop.com", ""},            // a name below the host
        {"github.io", "github.io", "=github.io"},  // a suffix that is the host itself
        {"127.0.0.1", "127.0.0.1", "=127.0.0.1"},
        {".0.0.1", "127.0.0.1", ""},
    };
    for (const Case& c : cases) {
        const auto scope = ScopeOfCookie(c.domain, c.host, suffixes);
        const std::string got = !scope ? "" : (scope->hostOnly ? "=" : "") + scope->domain;
        EXPECT_EQ(got, c.scope) << c.domain << " from " << c.host;
    }
}

TEST(CookieScopeTest, AScopeFitsOnlyItsHostOrNamesBelowItsDomain) {
    const CookieScope hostOnly{"shop.com", true};
    const CookieScope domain{"shop.com", false};
    struct Case {
        const char* host;
        bool hostOnlyFits;
        bool domainFits;
    } cases[] = {
        {"shop.com", true, true},
        {"SHOP.com", true, true},
        {"www.shop.com", false, true},
        {"evilshop.com", false, false},
        {"shop.com.attacker.net", false, false},
        {"evilshop.com.attacker.net", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScopeFits(hostOnly, c.host), c.hostOnlyFits) << c.host;
        EXPECT_EQ(ScopeFits(domain, c.host), c.domainFits) << c.host;
    }
}

}  // namespace
}  // namespace kv::http::testing
