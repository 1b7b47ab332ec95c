#include "detect/keywordaggregation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "text/textcompare.h"

namespace kv::detect {
namespace {

using Counts = std::vector<std::pair<std::string, int>>;

class FakeWindow : public ThemeWindow {
  public:
    bool ReadyFlag() const override { return ready; }
    std::vector<std::string> TickedEngineNames() const override {
        if (failTicked) throw data::TableError("engine boxes unreadable");
        return ticked;
    }
    void SetCountFooter(const std::string& text) override { footer = text; }
    void LogError(const std::string& message) override { errors.push_back(message); }
    void SetWaitCursor(bool on) override { cursorChanges += on ? 1 : 0; }

    bool ready = true;
    bool failTicked = false;
    std::vector<std::string> ticked{"AltaVista", "All The Web", "Google", "MSN", "Teoma"};
    std::string footer = "unset";
    std::vector<std::string> errors;
    int cursorChanges = 0;
};

class CountingObserver : public data::TableObserver {
  public:
    void TableDataChanged(data::Table&) override { ++changes; }
    int changes = 0;
};

class AggregationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        text::SetCollationLocale("en_US");
        SelectKeyword("red shoes");
    }
    void SelectKeyword(const std::string& word) {
        auto& history = tables.WordClientDataSet;
        if (!history.Locate("word", word)) {
            history.Append();
            history.SetString("word", word);
            history.Post();
        }
    }
    void Cache(const std::string& engine, int rank, const std::string& url,
               const std::string& keywords) {
        auto& cache = tables.SECacheClientDataSet;
        cache.Append();
        cache.SetString("SENAME", engine);
        cache.SetInteger("Rank", rank);
        cache.SetString("url", url);
        cache.SetString("Keywords", keywords);
        cache.Post();
    }
    Counts Frequencies() {
        Counts out;
        auto& res = tables.KeywordResClientDataSet;
        for (res.First(); !res.Eof(); res.Next())
            out.emplace_back(res.AsString("Keyword"), res.AsInteger("Count"));
        return out;
    }
    std::vector<std::pair<int, std::string>> PagesOf(const std::string& keyword) {
        std::vector<std::pair<int, std::string>> out;
        if (!tables.KeywordResClientDataSet.Locate("Keyword", keyword)) return out;
        auto& res2 = tables.KeywordRes2ClientDataSet;
        for (res2.First(); !res2.Eof(); res2.Next())
            out.emplace_back(res2.AsInteger("Rank"), res2.AsString("url"));
        return out;
    }

    data::DataTables tables;
    FakeWindow window;
    KeywordAggregator aggregator{tables, window};
};

TEST_F(AggregationTest, CountsDistinctPagesPerKeywordByFallingCount) {
    Cache("Google", 2, "http://b/", "seo, web design");
    Cache("Google", 1, "http://a/", "seo");
    Cache("MSN", 1, "http://c/", "tools;seo");
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{"seo", 3}, {"tools", 1}, {"web design", 1}}));
    EXPECT_EQ(window.footer, "3");
    EXPECT_EQ(PagesOf("seo"), (std::vector<std::pair<int, std::string>>{
                                  {1, "http://a/"}, {1, "http://c/"}, {2, "http://b/"}}));
}

TEST_F(AggregationTest, AfterARebuildTheRightGridShowsTheMostFrequentKeyword) {
    Cache("Google", 1, "http://a/", "zeta, alpha");
    Cache("Google", 2, "http://b/", "zeta");
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(tables.KeywordResClientDataSet.AsString("Keyword"), "zeta");
    EXPECT_EQ(tables.KeywordRes2ClientDataSet.RecordCount(), 2);
}

TEST_F(AggregationTest, CaseVariantsAcrossPagesAreDifferentKeywordsWithinAPageOne) {
    Cache("Google", 1, "http://a/", "SEO");
    Cache("Google", 2, "http://b/", "seo");
    Cache("Google", 3, "http://c/", "SEO, seo, Seo");
    aggregator.RefreshKeywordTables();
    const Counts counts = Frequencies();
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0], (std::pair<std::string, int>{"SEO", 2}));
    EXPECT_EQ(counts[1], (std::pair<std::string, int>{"seo", 1}));
    ASSERT_TRUE(tables.KeywordResClientDataSet.Locate("Keyword", "SEO"));
    auto& res2 = tables.KeywordRes2ClientDataSet;
    res2.Last();
    EXPECT_EQ(res2.AsString("Keywords2"), "SEO");
    EXPECT_EQ(res2.AsString("Keywords"), "SEO, seo, Seo");
}

TEST_F(AggregationTest, TheCaseOptionCountsVariantsAsOneInTheMostFrequentSpelling) {
    Cache("Google", 1, "http://a/", "SEO, web");
    Cache("Google", 2, "http://b/", "seo");
    Cache("Google", 3, "http://c/", "Seo, seo");
    Cache("Google", 4, "http://d/", "seo, Web");
    aggregator.SetCaseVariantsAsOne(true);
    aggregator.RefreshKeywordTables();
    // seo: pages b and d, Seo: c, SEO: a; web and Web tie, the first in table order stays.
    const Counts counts = Frequencies();
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0], (std::pair<std::string, int>{"seo", 4}));
    EXPECT_EQ(counts[1].second, 2);
    EXPECT_EQ(window.footer, "2");
    EXPECT_EQ(PagesOf("seo"),
              (std::vector<std::pair<int, std::string>>{
                  {1, "http://a/"}, {2, "http://b/"}, {3, "http://c/"}, {4, "http://d/"}}));
    aggregator.SetCaseVariantsAsOne(false);
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies().size(), 5u);
}

TEST_F(AggregationTest, AnAddressCountsOnceWithTheFirstRowMetEvenAcrossEnginesAndCase) {
    Cache("Google", 4, "http://Same.example/", "first");
    Cache("MSN", 1, "http://same.example/", "second, first");
    Cache("Teoma", 2, "http://empty.example/", "");
    Cache("Teoma", 3, "HTTP://EMPTY.example/", "never");
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{"first", 1}}));
    EXPECT_EQ(PagesOf("first"),
              (std::vector<std::pair<int, std::string>>{{4, "http://Same.example/"}}));
}

// Pages and spellings are kept between rebuilds; whatever changed in between, a repeated
// rebuild must give what a fresh one gives.
TEST_F(AggregationTest, RepeatedRebuildsMatchAFreshOneAfterPagesChange) {
    const auto snapshot = [this](KeywordAggregator& a) {
        a.RefreshKeywordTables();
        std::vector<std::string> rows;
        for (const auto& [keyword, count] : Frequencies())
            rows.push_back(keyword + "=" + std::to_string(count));
        auto& res2 = tables.KeywordRes2ClientDataSet;
        res2.RemoveMasterLink();
        for (res2.First(); !res2.Eof(); res2.Next())
            rows.push_back(res2.AsString("Keyword") + "|" + res2.AsString("url") + "|" +
                           res2.AsString("Keywords2"));
        res2.SetMasterLink({&tables.KeywordResClientDataSet, "Keyword", "Keyword"});
        return rows;
    };
    const auto expectSameAsFresh = [&] {
        KeywordAggregator fresh(tables, window);
        const auto kept = snapshot(aggregator);
        EXPECT_EQ(kept, snapshot(fresh));
        return kept;
    };
    Cache("Google", 1, "http://a/", "seo, web, Zebra");
    Cache("MSN", 1, "http://b/", "SEO, web");
    const auto before = expectSameAsFresh();

    // The same text edited in place, new spellings and case variants, a page added.
    auto& cache = tables.SECacheClientDataSet;
    ASSERT_TRUE(cache.Locate("url", "http://a/"));
    cache.Edit();
    cache.SetString("Keywords", "seo, apple, zebra, ZEBRA");
    cache.Post();
    Cache("Teoma", 1, "http://c/", "Apple, Éclair, eclair, web");
    const auto after = expectSameAsFresh();
    EXPECT_NE(before, after);
    EXPECT_EQ(Frequencies(), (Counts{{"web", 2},
                                     {"apple", 1},
                                     {"Apple", 1},
                                     {"eclair", 1},
                                     {"Éclair", 1},
                                     {"seo", 1},
                                     {"SEO", 1},
                                     {"zebra", 1}}));
}

TEST_F(AggregationTest, KeywordsOfEqualCountFollowTheCollationRespectingCase) {
    std::vector<std::string> spellings{"zebra",  "Zebra",   "éclair", "Eclair", "eclair", "Éclair",
                                       "a-b",    "ab",      "AB",     "Ab",     "10",     "9",
                                       "straße", "strasse", "Ärger",  "arger"};
    int page = 0;
    for (const auto& s : spellings) {
        ++page;
        Cache("Google", page, "http://p" + std::to_string(page) + "/", s);
    }
    aggregator.RefreshKeywordTables();
    std::stable_sort(spellings.begin(), spellings.end(),
                     [](const std::string& a, const std::string& b) {
                         return text::CollateRespectingCase(a, b) < 0;
                     });
    Counts expected;
    for (const auto& s : spellings) expected.emplace_back(s, 1);
    EXPECT_EQ(Frequencies(), expected);
}

TEST_F(AggregationTest, UntickingAndTickingAnEngineRemovesAndRestoresItsPages) {
    Cache("Google", 1, "http://a/", "seo");
    Cache("MSN", 1, "http://b/", "seo, msn only");
    window.ticked = {"google"};  // engine names compare ignoring case
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{"seo", 1}}));
    window.ticked = {"Google", "MSN"};
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{"seo", 2}, {"msn only", 1}}));
    window.ticked = {};
    aggregator.RefreshKeywordTables();
    EXPECT_TRUE(Frequencies().empty());
    EXPECT_EQ(tables.KeywordRes2ClientDataSet.StoredRows().size(), 0u);
    EXPECT_EQ(window.footer, "0");
}

TEST_F(AggregationTest, LongKeywordsAreCountedInFullAndShownCut) {
    const std::string base(50, 'k');
    Cache("Google", 1, "http://a/", base + "-variant-one");
    Cache("Google", 2, "http://b/", base + "-variant-two");
    Cache("Google", 3, "http://c/", base + "-variant-two");
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{base, 2}, {base, 1}}));
}

TEST_F(AggregationTest, OnlyTheCurrentKeywordsPagesCount) {
    Cache("Google", 1, "http://a/", "shoes");
    SelectKeyword("blue hats");
    Cache("Google", 1, "http://h/", "hats");
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{"hats", 1}}));
    tables.WordClientDataSet.Locate("word", "red shoes");
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{"shoes", 1}}));
}

TEST_F(AggregationTest, NothingHappensBeforeTheReadyFlag) {
    Cache("Google", 1, "http://a/", "seo");
    window.ready = false;
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(window.footer, "unset");
    EXPECT_EQ(window.cursorChanges, 0);
    EXPECT_TRUE(Frequencies().empty());
}

TEST_F(AggregationTest, PerPageRowsHoldTheKeywordCommaTextAndTheWholeText) {
    Cache("Google", 1, "http://a/", "web design, seo");
    aggregator.RefreshKeywordTables();
    auto& res2 = tables.KeywordRes2ClientDataSet;
    res2.RemoveMasterLink();
    ASSERT_EQ(res2.RecordCount(), 2);
    res2.First();
    EXPECT_EQ(res2.AsString("Keyword"), "seo");
    EXPECT_EQ(res2.AsString("Keywords"), "web design, seo");
    EXPECT_EQ(res2.AsString("Keywords2"), "seo,\"web design\"");
    res2.Next();
    EXPECT_EQ(res2.AsString("Keyword"), "web design");
}

TEST_F(AggregationTest, EachTableNotifiesItsViewsOncePerRebuild) {
    for (int i = 0; i < 50; ++i)
        Cache("Google", i, "http://p" + std::to_string(i) + "/", "a, b, c" + std::to_string(i));
    CountingObserver left, right;
    tables.KeywordResClientDataSet.AddObserver(&left);
    tables.KeywordRes2ClientDataSet.AddObserver(&right);
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(left.changes, 1);
    EXPECT_LE(right.changes, 2);  // its own resume, and possibly the master's
    tables.KeywordResClientDataSet.RemoveObserver(&left);
    tables.KeywordRes2ClientDataSet.RemoveObserver(&right);
}

TEST_F(AggregationTest, AFailureIsLoggedAndTheDisplayIsRestored) {
    Cache("Google", 1, "http://a/", "seo");
    window.failTicked = true;
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(window.errors, std::vector<std::string>{"engine boxes unreadable"});
    EXPECT_EQ(window.footer, "");
    EXPECT_FALSE(tables.KeywordResClientDataSet.ControlsDisabled());
    EXPECT_FALSE(tables.KeywordRes2ClientDataSet.ControlsDisabled());
    EXPECT_TRUE(tables.KeywordRes2ClientDataSet.GetMasterLink());
    window.failTicked = false;
    aggregator.RefreshKeywordTables();
    EXPECT_EQ(Frequencies(), (Counts{{"seo", 1}}));
}

TEST_F(AggregationTest, PerPageRowsShowWhereThePageDeclaredItsKeywords) {
    Cache("Google", 1, "http://old/", "seo");  // a row from before sources were recorded
    Cache("Google", 2, "http://new/", "seo, boots");
    auto& cache = tables.SECacheClientDataSet;
    cache.Last();
    cache.Edit();
    cache.SetString("Sources", "meta,tags");
    cache.Post();
    window.ready = true;
    aggregator.RefreshKeywordTables();
    ASSERT_TRUE(tables.KeywordResClientDataSet.Locate("Keyword", "seo"));
    auto& res2 = tables.KeywordRes2ClientDataSet;
    ASSERT_EQ(res2.RecordCount(), 2);
    res2.First();
    EXPECT_TRUE(res2.IsNull(res2.FieldIndex("Sources")));
    res2.Next();
    EXPECT_EQ(res2.AsString("Sources"), "meta,tags");
}

}  // namespace
}  // namespace kv::detect
