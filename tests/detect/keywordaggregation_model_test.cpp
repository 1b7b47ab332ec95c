// The theme rebuild keeps memos, groups and an arena between rebuilds; here it is checked against
// a plain model of the theme (a page's keyword list, a count per spelling) after every step of
// random sequences of stored pages, renewals, edited keyword texts, engine ticks and keyword
// changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "detect/keywordaggregation.h"
#include "detect/pagekeywords.h"
#include "text/textcompare.h"
#include "text/utf8.h"

namespace kv::detect {
namespace {

const std::vector<std::string> kEngines{"AltaVista", "All The Web", "Google", "MSN", "Teoma"};
const std::vector<std::string> kWords{"red shoes", "blue hats"};
const std::vector<std::string> kUrls{"http://a/",  "http://A/", "http://b/", "http://c/x",
                                     "HTTP://C/X", "http://d/", "http://e/", "http://f/"};
const std::vector<std::string> kSpellings{"seo",
                                          "SEO",
                                          "Seo",
                                          "web design",
                                          "Web Design",
                                          "éclair",
                                          "Éclair",
                                          "eclair",
                                          "apple",
                                          "Apple",
                                          "straße",
                                          "strasse",
                                          "10",
                                          "9",
                                          "a-b",
                                          "ab",
                                          "zebra",
                                          "Zebra ",
                                          " tools",
                                          "\ttools",
                                          std::string(55, 'k') + "1",
                                          std::string(55, 'k') + "2"};
const std::vector<std::string> kSeparators{",", ";", ", ", "\r\n", " ; ", ",,"};

class ModelWindow : public ThemeWindow {
  public:
    bool ReadyFlag() const override { return true; }
    std::vector<std::string> TickedEngineNames() const override { return ticked; }
    void SetCountFooter(const std::string& text) override { footer = text; }
    void LogError(const std::string& message) override { errors.push_back(message); }
    void SetWaitCursor(bool) override {}
    std::vector<std::string> ticked = kEngines;
    std::string footer;
    std::vector<std::string> errors;
};

using PageRowTuple = std::tuple<std::string, int, std::string, std::string, std::string>;

struct Theme {
    std::vector<std::pair<std::string, int>> counts;  // in grid order
    std::vector<PageRowTuple> pageRows;               // sorted: the order is the index's business
    bool operator==(const Theme&) const = default;
};

std::string Cut(const std::string& s, std::size_t width) {
    return std::string(text::CutChars(s, width));
}

class AggregationModelTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }

    void Select(const std::string& word) {
        auto& history = tables.WordClientDataSet;
        if (!history.Locate("word", word)) {
            history.Append();
            history.SetString("word", word);
            history.Post();
        }
    }

    // What the theme must be: the cache rows of the current keyword in table order.
    Theme Model() {
        const auto isTicked = [&](const std::string& engine) {
            return std::any_of(
                window.ticked.begin(), window.ticked.end(),
                [&](const std::string& t) { return text::SameIgnoringCase(t, engine); });
        };
        const auto respectingCase = [](const std::string& a, const std::string& b) {
            return text::CollateRespectingCase(a, b) < 0;
        };
        std::map<std::string, int, decltype(respectingCase)> counts(respectingCase);
        std::vector<std::string> seen;
        Theme theme;
        auto& cache = tables.SECacheClientDataSet;
        for (cache.First(); !cache.Eof(); cache.Next()) {
            const std::string url = cache.AsString("url");
            if (!isTicked(cache.AsString("SENAME"))) continue;
            if (std::any_of(seen.begin(), seen.end(),
                            [&](const std::string& s) { return text::SameIgnoringCase(s, url); }))
                continue;
            seen.push_back(url);
            const std::string keywords = cache.AsString("Keywords");
            const auto list = ParsePageKeywords(keywords);
            const std::string comma = KeywordCommaText(list);
            for (const auto& entry : list) {
                theme.pageRows.emplace_back(Cut(entry, 50), cache.AsInteger("Rank"), Cut(url, 255),
                                            Cut(keywords, 1500), Cut(comma, 1500));
                ++counts[entry];
            }
        }
        for (const auto& [keyword, count] : counts)
            theme.counts.emplace_back(Cut(keyword, 50), count);
        std::stable_sort(theme.counts.begin(), theme.counts.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        std::sort(theme.pageRows.begin(), theme.pageRows.end());
        return theme;
    }

    Theme Built() {
        Theme theme;
        auto& res = tables.KeywordResClientDataSet;
        for (res.First(); !res.Eof(); res.Next())
            theme.counts.emplace_back(res.AsString("Keyword"), res.AsInteger("Count"));
        auto& res2 = tables.KeywordRes2ClientDataSet;
        const data::MasterLink link = res2.GetMasterLink();
        res2.RemoveMasterLink();
        for (res2.First(); !res2.Eof(); res2.Next())
            theme.pageRows.emplace_back(res2.AsString("Keyword"), res2.AsInteger("Rank"),
                                        res2.AsString("url"), res2.AsString("Keywords"),
                                        res2.AsString("Keywords2"));
        res2.SetMasterLink(link);
        std::sort(theme.pageRows.begin(), theme.pageRows.end());
        return theme;
    }

    std::string RandomKeywords(std::mt19937& rng) {
        std::string text;
        const int pieces = std::uniform_int_distribution<int>(0, 5)(rng);
        for (int p = 0; p < pieces; ++p) {
            if (p > 0) text += kSeparators[rng() % kSeparators.size()];
            text += kSpellings[rng() % kSpellings.size()];
        }
        return text;
    }

    // One random change of the cache, the ticks or the current keyword.
    void Step(std::mt19937& rng) {
        auto& cache = tables.SECacheClientDataSet;
        switch (rng() % 8) {
            case 0:
            case 1:
            case 2: {  // a stored page
                cache.Append();
                cache.SetString("SENAME", kEngines[rng() % kEngines.size()]);
                cache.SetInteger("Rank", 1 + static_cast<int>(rng() % 30));
                cache.SetString("url", kUrls[rng() % kUrls.size()]);
                cache.SetString("Keywords", RandomKeywords(rng));
                cache.Post();
                break;
            }
            case 3: {  // a renewal: one engine's rows of this keyword go
                const std::string engine = kEngines[rng() % kEngines.size()];
                cache.First();
                while (!cache.Eof()) {
                    if (cache.AsString("SENAME") == engine)
                        cache.Delete();
                    else
                        cache.Next();
                }
                break;
            }
            case 4: {  // a row's keyword text replaced
                const int count = cache.RecordCount();
                if (count == 0) break;
                cache.MoveTo(static_cast<int>(rng() % count));
                cache.Edit();
                cache.SetString("Keywords", RandomKeywords(rng));
                cache.Post();
                break;
            }
            case 5:
            case 6: {  // ticks, compared ignoring case
                window.ticked.clear();
                for (const auto& engine : kEngines)
                    if (rng() % 3 != 0)
                        window.ticked.push_back(rng() % 2 ? engine : text::AsciiLowerCase(engine));
                break;
            }
            default:
                Select(kWords[rng() % kWords.size()]);
        }
    }

    data::DataTables tables;
    ModelWindow window;
    KeywordAggregator aggregator{tables, window};
};

TEST_F(AggregationModelTest, EveryRebuildEqualsThePlainModel) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        Select(kWords[0]);
        for (int step = 0; step < 60; ++step) {
            Step(rng);
            aggregator.RefreshKeywordTables();
            ASSERT_TRUE(window.errors.empty()) << window.errors.front();
            const Theme model = Model();
            ASSERT_EQ(Built(), model) << "seed " << seed << ", step " << step;
            ASSERT_EQ(window.footer, std::to_string(model.counts.size()));
        }
    }
}

}  // namespace
}  // namespace kv::detect
