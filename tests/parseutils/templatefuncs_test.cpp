#include "parseutils/templatefuncs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "parseutils/regexpr.h"
#include "tests/support/tempdir.h"

namespace kv::parseutils {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using List = std::vector<std::string>;

List TextsFor(std::string_view regExprs, std::string_view text, bool stopAtFirstLine) {
    List matches;
    GetTextsForRegExpr(regExprs, text, matches, stopAtFirstLine);
    return matches;
}

std::string CompileErrorOf(std::string_view regExprs, List& matches) {
    try {
        GetTextsForRegExpr(regExprs, "a1 b2", matches, false);
    } catch (const ERegExpr& error) {
        return error.what();
    }
    return "no error";
}

TEST(PrepareUrlOrBodyTest, EveryPlaceholderGetsTheEncodedKeyword) {
    EXPECT_EQ(PrepareUrlOrBody("red shoes", "q=@@@&x=@@@"), "q=red+shoes&x=red+shoes");
    EXPECT_EQ(PrepareUrlOrBody("mp3", "http://e.example/s?q=@@@"), "http://e.example/s?q=mp%33");
    EXPECT_EQ(PrepareUrlOrBody("a", "@@@@@@@"), "aa@");  // left to right, no overlap
    EXPECT_EQ(PrepareUrlOrBody("@@@", "q=@@@"), "q=%40%40%40");
    // A literal "+" is not a blank to the engine.
    EXPECT_EQ(PrepareUrlOrBody("C++ tips", "q=@@@"), "q=C%2B%2B+tips");
    EXPECT_EQ(PrepareUrlOrBody("", "q=@@@&n=10"), "q=&n=10");
    EXPECT_EQ(PrepareUrlOrBody("x", "no placeholder"), "no placeholder");
}

TEST(GetRegExprListTest, SplitsAtSeparatorsAndClearsFirst) {
    struct Case {
        std::string text;
        List parts;
    };
    const std::vector<Case> cases = {
        {"a@@@@@@b", {"a", "", "b"}},
        {"a@@@", {"a"}},
        {"", {}},
        {"@@@", {""}},
        {"@@@@", {"", "@"}},
        {"p@@@r1@@@r2", {"p", "r1", "r2"}},
    };
    for (const Case& c : cases) {
        List parts = {"left over"};
        GetRegExprList(c.text, parts);
        EXPECT_EQ(parts, c.parts) << c.text;
    }
}

TEST(GetRegExprMatchNumTest, FirstMarkerOfDigitsOnly) {
    struct Case {
        std::string pattern;
        int group;
    };
    const std::vector<Case> cases = {
        {"a(?#x)b(?#2)", 2},
        {"(?#1)(?#2)", 1},
        {"<a>(.*)</a>(?#12)", 12},
        {"(?#007)", 7},
        {"(?#0)", 0},
        {"(?#2147483647)", 2147483647},
        {"(?#2147483648)", -1},  // does not fit: no marker
        {"(?#99999999999999999999)", -1},
        {"(?#-1)", -1},
        {"(?# 1)", -1},
        {"(?#)", -1},
        {"plain(pattern)", -1},
        {"", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(GetRegExprMatchNum(c.pattern), c.group) << c.pattern;
}

TEST(GetRegExpTextTest, RefiningPartsNarrowInTurn) {
    const std::string item = R"(<a href="http://www.example.com/a?b=1">Example</a>)";
    EXPECT_EQ(GetRegExpText(item, {"ignored", R"~(href="([^"]+)")~"}),
              "http://www.example.com/a?b=1");
    EXPECT_EQ(GetRegExpText(item, {"ignored", R"~(href="([^"]+)")~", R"(^http://([^/]+))"}),
              "www.example.com");
    // No group: the whole match.
    EXPECT_EQ(GetRegExpText(item, {"ignored", "Exam"}), "Exam");
    // The highest group that took part, not the highest group of the pattern.
    EXPECT_EQ(GetRegExpText("xay", {"ignored", "(a)|(b)"}), "a");
    // A refining part that does not match stops: the text so far comes back.
    EXPECT_EQ(GetRegExpText("taken", {"p", "r"}), "taken");
    EXPECT_EQ(GetRegExpText(item, {"ignored", R"~(href="([^"]+)")~", "nomatch", "http"}),
              "http://www.example.com/a?b=1");
    // Fewer than two parts: the text as it is, nothing compiled.
    EXPECT_EQ(GetRegExpText("text", {"(unclosed"}), "text");
    EXPECT_EQ(GetRegExpText("text", {}), "text");
    EXPECT_THROW(GetRegExpText("text", {"p", "(unclosed"}), ERegExpr);
    EXPECT_THROW(GetRegExpText("text", {"p", ""}),
                 ERegExpr);  // an empty part does not compile
}

TEST(GetTextsForRegExprTest, StopAtFirstLineStopsAfterTheFirstLineThatMatches) {
    const std::string set = "nomatch(\\d)\nb(\\d)\nc(\\d)";
    EXPECT_THAT(TextsFor(set, "b1 c3 b2", true), ElementsAre("1", "2"));
    EXPECT_THAT(TextsFor(set, "b1 c3 b2", false), ElementsAre("1", "2", "3"));
    // Entries that were in the list before the call do not count as found.
    List matches = {"old"};
    GetTextsForRegExpr("a(\\d)\nb(\\d)\nc(\\d)", "b1 c2", matches, true);
    EXPECT_THAT(matches, ElementsAre("old", "1"));
}

TEST(GetTextsForRegExprTest, LinesSplitAtCrLfAndCrLfEmptyOnesSkipped) {
    EXPECT_THAT(TextsFor("x(\\d)\r\r\ny(\\d)\rz(\\d)\n\n", "x1 y2 z3", false),
                ElementsAre("1", "2", "3"));
    EXPECT_THAT(TextsFor("", "anything", false), IsEmpty());
    EXPECT_THAT(TextsFor("\r\n\r\n", "anything", false), IsEmpty());
}

TEST(GetTextsForRegExprTest, GroupMarkerChoosesTheGroup) {
    const std::string links = "<a href=/one>One</a> <a href=/two>Two</a>";
    EXPECT_THAT(TextsFor("<a href=([^>]+)>([^<]+)</a>(?#1)", links, true),
                ElementsAre("/one", "/two"));
    EXPECT_THAT(TextsFor("<a href=([^>]+)>([^<]+)</a>", links, true), ElementsAre("One", "Two"));
    EXPECT_THAT(TextsFor("<a href=([^>]+)>([^<]+)</a>(?#0)", links, true),
                ElementsAre("<a href=/one>One</a>", "<a href=/two>Two</a>"));
    // A marked group that did not take part, or one beyond the engine's groups, gives
    // "".
    EXPECT_THAT(TextsFor("(x)?(\\d)(?#1)", "1 x2", true), ElementsAre("", "x"));
    EXPECT_THAT(TextsFor("(\\d)(?#50)", "12", true), ElementsAre("", ""));
    // Without a marker: the highest group that took part in each match, else the whole
    // match.
    EXPECT_THAT(TextsFor("(a)|(b)|c", "abc", true), ElementsAre("a", "b", "c"));
}

TEST(GetTextsForRegExprTest, EveryMatchWithoutOverlapEmptyOnesIncluded) {
    EXPECT_THAT(TextsFor("aa", "aaaaa", true), ElementsAre("aa", "aa"));
    // Empty matches are entries; the search moves one byte on after each.
    EXPECT_THAT(TextsFor("x*", "ab", true), ElementsAre("", "", ""));
    EXPECT_THAT(TextsFor("b*", "abb", true), ElementsAre("", "bb", ""));
}

TEST(GetTextsForRegExprTest, EachLineRefinesItsOwnMatches) {
    const std::string page = R"(<a href="http://a.example/x">A</a><img src="http://b.example/y">)";
    EXPECT_THAT(TextsFor(R"~(href="([^"]+)"@@@^http://([^/]+))~"
                         "\n"
                         R"~(src="([^"]+)")~",
                         page, false),
                ElementsAre("a.example", "http://b.example/y"));
    // A refining part that misses leaves the taken text.
    EXPECT_THAT(TextsFor(R"~(href="([^"]+)"@@@^ftp://(.*))~", page, false),
                ElementsAre("http://a.example/x"));
}

TEST(GetTextsForRegExprTest, CompileErrorsPassThroughAndKeepEarlierEntries) {
    List matches = {"old"};
    EXPECT_EQ(CompileErrorOf("a(\\d)\nb(\\d\nc", matches), "TRegExpr(comp): Unmatched () (pos 4)");
    EXPECT_THAT(matches, ElementsAre("old", "1"));

    matches.clear();
    EXPECT_THAT(CompileErrorOf("@@@a", matches), HasSubstr("TRegExpr(comp): Null Argument"));
    EXPECT_THAT(CompileErrorOf("x(?:y)", matches), HasSubstr("TRegExpr(comp): "));
    // A refining part is compiled only when a match reaches it.
    EXPECT_THAT(CompileErrorOf("nomatch@@@(", matches), "no error");
    EXPECT_THAT(CompileErrorOf("a@@@(", matches), HasSubstr("Unmatched ()"));
}

TEST(GetTextBlockForRegExprTest, FirstEntryWholeTextOrNothing) {
    const std::string page = "<body><ol>items</ol><ol>more</ol></body>";
    EXPECT_EQ(GetTextBlockForRegExpr("<ol>(.*?)</ol>", page), "items");
    EXPECT_EQ(GetTextBlockForRegExpr("<ul>(.*?)</ul>\n<ol>(.*)</ol>", page), "items</ol><ol>more");
    EXPECT_EQ(GetTextBlockForRegExpr("", page), page);
    EXPECT_EQ(GetTextBlockForRegExpr("<table>(.*)</table>", page), "");
}

TEST(GetResultCountTest, DigitsOfTheFirstEntry) {
    struct Case {
        std::string text;
        std::string pattern;
        int count;
    };
    const std::vector<Case> cases = {
        {"Results 1 - 10 of about 1,230,000", R"(about ([\d,]+))", 1230000},
        {"Results 1 - 10 of about 12,300,000,000", R"(about ([\d,]+))", 0},  // out of range
        {"of 2,147,483,647", R"(of ([\d,]+))", 2147483647},
        {"of 2,147,483,648", R"(of ([\d,]+))", 0},
        {"of 0000012", R"(of (\d+))", 12},
        {"about 1.234 (in 0.2 s)", R"(about (.*))", 123402},  // every digit counts
        {"about many", R"(about (\w+))", 0},
        {"no total here", R"(about ([\d,]+))", 0},
        {"1 2 3", R"(\d)", 1},  // the first entry only
        {"1,234", "", 0},       // no pattern, no entry
    };
    for (const Case& c : cases) EXPECT_EQ(GetResultCount(c.text, c.pattern), c.count) << c.text;
    EXPECT_THROW(GetResultCount("1", "(["), ERegExpr);
}

TEST(PrepareUrlTest, DecodesReferencesThenCanonicalises) {
    EXPECT_EQ(PrepareURL("http://a.example/dir/../x y/./z.html?q=a b&amp;n=1"),
              "http://a.example/x%20y/z.html?q=a b&n=1");
    EXPECT_EQ(PrepareURL("page=2&amp;start=10"),
              "page=2&start=10");  // no URL: only decoded
    EXPECT_EQ(PrepareURL(""), "");
}

// A saved result page: a base element in the head, sponsored links, four results of which the
// second has no URL and the third a URL wrapped in blanks, a sidebar entry outside the result
// list, and a next link with character references, an encoded line break and a TAB.
class ResultPageTest : public ::testing::Test {
  protected:
    static constexpr const char* kBlock = R"(<ol class="results">(.*?)</ol>)";
    static constexpr const char* kItem = R"(<li class="result">(.*?)</li>)";
    static constexpr const char* kField = R"~(<a class="title" href="([^"]*)")~";
    static constexpr const char* kNext = R"~(<a class="next" href="([^"]+)">)~";
    static constexpr const char* kNextQuery = "results.html?q=red+shoes&start=10&num=10";

    const std::string page_ = testing::ReadFileBytes(KELVANE_TEST_SOURCE_DIR
                                                     "/tests/parseutils/fixtures/result_page.html");
    List items_, items2_, fields_, fields2_;

    void Cut(std::string_view block, std::string_view item, std::string_view field,
             std::string_view block2 = "", std::string_view item2 = "",
             std::string_view field2 = "") {
        GetResultForPage(page_, block, block2, item, item2, field, field2, items_, items2_, fields_,
                         fields2_);
    }

    std::string PageWithoutBase() const {
        std::string page = page_;
        const std::size_t base = page.find("<base ");
        page.erase(base, page.find('>', base) + 1 - base);
        return page;
    }
};

TEST_F(ResultPageTest, OneFieldPerItemEmptyWhereAnItemHasNoUrl) {
    Cut(kBlock, kItem, kField);
    ASSERT_EQ(items_.size(), 4u);  // the sidebar entry lies outside the block
    EXPECT_THAT(items_[1], HasSubstr("Ruby slippers"));
    EXPECT_THAT(fields_, ElementsAre("http://www.redshoes.example.com/", "",
                                     "http://shoes.example.org/colour/red.html?ref=serp&amp;x=1",
                                     "http://blog.example.com/2004/05/the-red-shoes.html"));
    EXPECT_THAT(items2_, IsEmpty());
    EXPECT_THAT(fields2_, IsEmpty());
}

TEST_F(ResultPageTest, WithoutABlockPatternTheWholePageIsSearched) {
    Cut("", kItem, kField);
    ASSERT_EQ(fields_.size(), 5u);
    EXPECT_EQ(fields_[4], "http://sidebar.example.com/");
}

TEST_F(ResultPageTest, ABlockThatDoesNotMatchOrNoItemPatternGivesNothing) {
    Cut("<table>(.*)</table>", kItem, kField);
    Cut(kBlock, "", kField);
    EXPECT_THAT(items_, IsEmpty());
    EXPECT_THAT(fields_, IsEmpty());
}

TEST_F(ResultPageTest, SecondPassCollectsTheItemsOfAllLines) {
    Cut(kBlock, kItem, kField, R"(<div class="ads">(.*?)</div>)",
        "<li class=\"ad\">(.*?)</li>\n<p class=\"text-ad\">(.*?)</p>",
        R"~(href="([^"]+)"@@@^http://([^/]+))~");
    EXPECT_EQ(fields_.size(), 4u);
    ASSERT_EQ(items2_.size(), 3u);
    EXPECT_THAT(items2_[2], HasSubstr("Shoe Palace"));
    EXPECT_THAT(fields2_, ElementsAre("ads.example.org", "ads.example.org", ""));
}

TEST_F(ResultPageTest, ItemsAlreadyInTheListGetFieldsToo) {
    items_ = {"<a class=\"title\" href=\"\t http://given.example/ \r\n\">"};
    Cut(kBlock, kItem, kField);
    ASSERT_EQ(fields_.size(), 5u);
    EXPECT_EQ(fields_[0],
              "http://given.example/");  // bytes up to 32 trimmed at both ends
}

TEST_F(ResultPageTest, OneListAsItemsAndFieldsEndsWithOneFieldPerItem) {
    GetResultForPage(page_, kBlock, "", kItem, "", kField, "", items_, items2_, items_, fields2_);
    ASSERT_EQ(items_.size(), 8u);
    EXPECT_EQ(items_[4], "http://www.redshoes.example.com/");
}

TEST_F(ResultPageTest, CompileErrorsLeaveWhatWasFound) {
    EXPECT_THROW(Cut(kBlock, kItem, "(unclosed"), ERegExpr);
    EXPECT_EQ(items_.size(), 4u);
    EXPECT_THAT(fields_, IsEmpty());
}

TEST_F(ResultPageTest, ResultTotal) {
    EXPECT_EQ(GetResultCount(page_, R"(of about ([\d,]+))"), 1230000);
}

TEST_F(ResultPageTest, NextLinkResolvedAgainstTheBaseElement) {
    EXPECT_EQ(
        GetUrlNext(kNext, kCombineWithPageBase, "", "http://other.example.com/q/s.html", page_),
        std::string("http://search.example.net/find/") + kNextQuery);
}

TEST_F(ResultPageTest, NextLinkResolvedAgainstThePageWithoutABase) {
    EXPECT_EQ(GetUrlNext(kNext, kCombineWithPageBase, "", "http://other.example.com/q/s.html",
                         PageWithoutBase()),
              std::string("http://other.example.com/q/") + kNextQuery);
}

TEST_F(ResultPageTest, NextLinkByPrefixOrAsIs) {
    EXPECT_EQ(
        GetUrlNext(kNext, kCombineAfterFirstPart, "http://search.example.net/find/", "", page_),
        std::string("http://search.example.net/find/") + kNextQuery);
    EXPECT_EQ(GetUrlNext(kNext, kCombineTakeAsIs, "ignored", "ignored", page_), kNextQuery);
}

TEST_F(ResultPageTest, NoNextPage) {
    EXPECT_EQ(GetUrlNext(kNext, 3, "http://x.example/", "http://y.example/", page_), "");
    EXPECT_EQ(GetUrlNext(kNext, -1, "http://x.example/", "http://y.example/", page_), "");
    EXPECT_EQ(GetUrlNext("<a class=\"prev\" href=\"([^\"]+)\">", kCombineAfterFirstPart,
                         "http://x.example/", "", page_),
              "");
    // An empty link text is no next page, whatever the combine type.
    EXPECT_EQ(GetUrlNext(R"(<span class="current">1()</span>)", kCombineAfterFirstPart,
                         "http://x.example/", "", page_),
              "");
    EXPECT_THROW(GetUrlNext("[", kCombineTakeAsIs, "", "", page_), ERegExpr);
}

// Pages cut and pasted from the fixture's own pieces at random: whatever the page, every item
// gets exactly one field, fields are trimmed, and a next link is found or not without failing.
TEST_F(ResultPageTest, ScrambledPagesKeepOneFieldPerItem) {
    std::mt19937 random(20261208);
    std::size_t itemsSeen = 0;
    for (int round = 0; round < 300; ++round) {
        std::string page;
        for (int piece = 0; piece < 12; ++piece) {
            const std::size_t from = random() % page_.size();
            page.append(page_, from, random() % 200);
        }
        List items, items2, fields, fields2;
        GetResultForPage(page, round % 2 ? kBlock : "", "", kItem, "", kField, "", items, items2,
                         fields, fields2);
        ASSERT_EQ(fields.size(), items.size()) << page;
        itemsSeen += items.size();
        for (const std::string& field : fields) {
            if (field.empty()) continue;
            EXPECT_GT(static_cast<unsigned char>(field.front()), 32) << page;
            EXPECT_GT(static_cast<unsigned char>(field.back()), 32) << page;
        }
        EXPECT_NO_THROW(
            GetUrlNext(kNext, round % 4, "http://x.example/", "http://y.example/a/", page));
    }
    EXPECT_GT(itemsSeen, 100u) << "the scrambled pages should still hold items";
}

TEST(GetUrlNextTest, LinkCleanedBeforeCombining) {
    const std::string page = "<a id=n href='a\tb&#xd;&#XA;c&#Xd;&#xA;&amp;d=1&#xD;x'>";
    EXPECT_EQ(GetUrlNext("href='([^']+)'", kCombineTakeAsIs, "", "", page), "abc&d=1&#xD;x");
    EXPECT_EQ(GetUrlNext("href='([^']+)'", kCombineAfterFirstPart, "http://e.example/p/", "",
                         "href='../q?page=2&amp;start=10'"),
              "http://e.example/q?page=2&start=10");
    EXPECT_EQ(GetUrlNext("href='([^']+)'", kCombineTakeAsIs, "", "", "href='page=2&amp;start=10'"),
              "page=2&start=10");
    // A link that is only a TAB combines to the base itself.
    EXPECT_EQ(GetUrlNext("href='([^']+)'", kCombineWithPageBase, "", "http://e.example/p/q?x#f",
                         "href='\t'"),
              "http://e.example/p/q?x");
}

}  // namespace
}  // namespace kv::parseutils
