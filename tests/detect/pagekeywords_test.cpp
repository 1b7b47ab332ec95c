#include "detect/pagekeywords.h"

#include <gtest/gtest.h>

#include "text/textcompare.h"

namespace kv::detect {
namespace {

using Words = std::vector<std::string>;

class PageKeywordsTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }
};

TEST_F(PageKeywordsTest, SplitsAtCommasSemicolonsAndLineBreaksAndTrims) {
    EXPECT_EQ(ParsePageKeywords("seo, web design;tools"), (Words{"seo", "tools", "web design"}));
    EXPECT_EQ(ParsePageKeywords("a\r\nb\rc\nd"), (Words{"a", "b", "c", "d"}));
    EXPECT_EQ(ParsePageKeywords("\t\x01 spaced \x1f ,x"), (Words{"spaced", "x"}));
    EXPECT_EQ(ParsePageKeywords(", ;  ,"), Words{});
    EXPECT_EQ(ParsePageKeywords(""), Words{});
}

TEST_F(PageKeywordsTest, NulEndsTheText) {
    EXPECT_EQ(ParsePageKeywords(std::string("a,b\0c,d", 7)), (Words{"a", "b"}));
}

TEST_F(PageKeywordsTest, CaseVariantsMergeIntoTheFirstSpelling) {
    EXPECT_EQ(ParsePageKeywords("SEO, seo, Seo"), Words{"SEO"});
    EXPECT_EQ(ParsePageKeywords("web, Seo, SEO, apple"), (Words{"apple", "Seo", "web"}));
}

TEST_F(PageKeywordsTest, NothingElseIsNormalised) {
    // Character references are not decoded, so their ";" separates like any other.
    EXPECT_EQ(ParsePageKeywords("&quot;x&quot;, \"quoted\""),
              (Words{"\"quoted\"", "&quot", "x&quot"}));
    EXPECT_EQ(ParsePageKeywords("Web Design"), Words{"Web Design"});
}

TEST_F(PageKeywordsTest, CommaTextQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(KeywordCommaText({"seo", "web design"}), "seo,\"web design\"");
    EXPECT_EQ(KeywordCommaText({"seo", "web design"}).size(), 16u);
    EXPECT_EQ(KeywordCommaText({"a\"b"}), "\"a\"\"b\"");
    EXPECT_EQ(KeywordCommaText({"tab\there", "x"}), "\"tab\there\",x");
    EXPECT_EQ(KeywordCommaText({}), "");
}

TEST_F(PageKeywordsTest, CommaTextReadsBackToTheSameEntries) {
    const std::vector<Words> lists{
        {"seo", "web design"}, {"a\"b", "c,d", "plain"}, {"x"}, {"\"", "\"\""}};
    for (const auto& list : lists) EXPECT_EQ(SplitKeywordCommaText(KeywordCommaText(list)), list);
    // Unquoted blanks split too, as the reader of such texts always did.
    EXPECT_EQ(SplitKeywordCommaText("a b, c"), (Words{"a", "b", "c"}));
    EXPECT_EQ(SplitKeywordCommaText("\"unterminated"), Words{"unterminated"});
}

}  // namespace
}  // namespace kv::detect
