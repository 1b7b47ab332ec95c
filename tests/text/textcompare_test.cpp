#include "text/textcompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kv::text {
namespace {

class TextCompareTest : public ::testing::Test {
  protected:
    void SetUp() override { SetCollationLocale("en_US"); }
};

TEST_F(TextCompareTest, IgnoringCaseTreatsCaseVariantsAsEqual) {
    EXPECT_EQ(CompareIgnoringCase("SEO", "seo"), 0);
    EXPECT_EQ(CompareIgnoringCase("Straße", "STRAßE"), 0);
    EXPECT_LT(CompareIgnoringCase("apple", "Banana"), 0);
    EXPECT_GT(CompareIgnoringCase("zebra", "Apple"), 0);
    // Accents still count: only case is ignored.
    EXPECT_NE(CompareIgnoringCase("resume", "résumé"), 0);
}

TEST_F(TextCompareTest, RespectingCaseSeparatesCaseVariantsButSortsAlphabetically) {
    EXPECT_NE(CollateRespectingCase("SEO", "seo"), 0);
    EXPECT_EQ(CollateRespectingCase("seo", "seo"), 0);
    // Alphabetical first, case only breaks ties: 'Banana' sorts between 'apple' and 'cherry'.
    std::vector<std::string> words{"cherry", "Banana", "apple", "banana"};
    std::sort(words.begin(), words.end(),
              [](const auto& a, const auto& b) { return CollateRespectingCase(a, b) < 0; });
    EXPECT_EQ(words[0], "apple");
    EXPECT_EQ(words[3], "cherry");
}

TEST_F(TextCompareTest, SortKeysOrderAsTheComparisons) {
    const std::vector<std::string> samples{"seo",        "SEO",      "Seo",   "web design",
                                           "web-design", "Ärger",    "arger", "zz",
                                           "",           "\xff\xfe", "a\tb"};
    for (const auto& a : samples) {
        for (const auto& b : samples) {
            const int byKey = SortKeyIgnoringCase(a).compare(SortKeyIgnoringCase(b));
            EXPECT_EQ(byKey < 0, CompareIgnoringCase(a, b) < 0) << a << " / " << b;
            EXPECT_EQ(byKey == 0, CompareIgnoringCase(a, b) == 0) << a << " / " << b;
            const int byKey2 = SortKeyRespectingCase(a).compare(SortKeyRespectingCase(b));
            EXPECT_EQ(byKey2 < 0, CollateRespectingCase(a, b) < 0) << a << " / " << b;
            EXPECT_EQ(byKey2 == 0, CollateRespectingCase(a, b) == 0) << a << " / " << b;
        }
    }
}

TEST_F(TextCompareTest, TheKeyIgnoringCaseIsThePrefixOfTheKeyRespectingCase) {
    const std::vector<std::string> samples{"seo",      "SEO",    "Web Design", "Ärger",
                                           "ÄRGER",    "résumé", "",           "a\tb",
                                           "\xff\xfe", "Straße", "日本語",     "x-y_z.1"};
    for (const char* locale : {"en_US", "", "de_DE", "fr_CA", "sv_SE"}) {
        SetCollationLocale(locale);
        for (const auto& s : samples)
            EXPECT_EQ(IgnoringCasePartOfKey(SortKeyRespectingCase(s)), SortKeyIgnoringCase(s))
                << locale << ": " << s;
    }
}

TEST_F(TextCompareTest, CAndPosixLocalesStillIgnoreCase) {
    SetCollationLocale("");
    EXPECT_EQ(CompareIgnoringCase("SEO", "seo"), 0);
    EXPECT_LT(CompareIgnoringCase("apple", "Banana"), 0);
}

TEST(AsciiCaseTest, MapsOnlyAsciiLetters) {
    EXPECT_EQ(AsciiUpperCase("meta Ä é z"), "META Ä é Z");
    EXPECT_EQ(AsciiLowerCase("HEAD\xC3\x84"), "head\xC3\x84");
    EXPECT_TRUE(SameAsciiNoCase("Keywords", "KEYWORDS"));
    EXPECT_FALSE(SameAsciiNoCase("keywords", "keywords "));
    EXPECT_FALSE(SameAsciiNoCase("\xC3\x84", "\xC3\xA4"));  // Ä and ä differ in 8-bit mapping
    EXPECT_LT(CompareAsciiNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareAsciiNoCase("abcd", "ABC"), 0);
}

}  // namespace
}  // namespace kv::text
