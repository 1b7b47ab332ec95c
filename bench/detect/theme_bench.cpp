// Rebuilding the theme of a keyword from the cache: 150 pages whose keyword texts are 1500
// characters long (a full result cache of five engines at depth 30), and 10,000 pages.
// "Cold" is the first rebuild of a fresh process; "warm" is a repeated rebuild, as during a
// run, where every stored page triggers one.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "data/tablefields.h"
#include "detect/keywordaggregation.h"
#include "text/textcompare.h"

namespace {

class BenchWindow : public kv::detect::ThemeWindow {
  public:
    bool ReadyFlag() const override { return true; }
    std::vector<std::string> TickedEngineNames() const override {
        return {"AltaVista", "All The Web", "Google", "MSN", "Teoma"};
    }
    void SetCountFooter(const std::string& text) override { footer = text; }
    void LogError(const std::string&) override {}
    void SetWaitCursor(bool) override {}
    std::string footer;
};

// Keyword texts drawn from a vocabulary of 4000 one- to three-word phrases, so that pages
// share keywords as real ones do, with some case variants.
void FillCache(kv::data::DataTables& tables, int pages, std::size_t textLength) {
    std::mt19937 rng(7);
    std::vector<std::string> vocabulary;
    const char* syllables[] = {"web", "seo", "shop", "red",  "shoe",  "de",  "sign", "mar",  "ket",
                               "ing", "lo",  "cal",  "best", "cheap", "top", "ra",   "tion", "al"};
    for (int i = 0; i < 4000; ++i) {
        std::string phrase;
        const int words = 1 + static_cast<int>(rng() % 3);
        for (int w = 0; w < words; ++w) {
            if (w) phrase += ' ';
            for (int s = 0; s < 2 + static_cast<int>(rng() % 2); ++s)
                phrase += syllables[rng() % 18];
        }
        if (i % 10 == 0) phrase[0] = static_cast<char>(phrase[0] - 32);
        vocabulary.push_back(phrase);
    }
    std::geometric_distribution<int> popular(0.002);
    auto& history = tables.WordClientDataSet;
    history.Append();
    history.SetString(kv::data::word_fields::Word, "red shoes");
    history.Post();
    auto& cache = tables.SECacheClientDataSet;
    const char* engines[] = {"AltaVista", "All The Web", "Google", "MSN", "Teoma"};
    for (int p = 0; p < pages; ++p) {
        std::string text;
        while (text.size() < textLength) {
            text += vocabulary[static_cast<std::size_t>(popular(rng)) % vocabulary.size()];
            text += ", ";
        }
        text.resize(textLength);
        cache.Append();
        cache.SetString(kv::data::secache_fields::SEName, engines[p % 5]);
        cache.SetInteger(kv::data::secache_fields::Rank, p / 5 + 1);
        cache.SetString(kv::data::secache_fields::Url,
                        "http://www.site" + std::to_string(p) + ".example.com/page.html");
        cache.SetString(kv::data::secache_fields::Keywords, text);
        cache.Post();
    }
}

// Cold: the first rebuild of a fresh process, with freshly loaded tables and nothing kept
// from an earlier rebuild. Warm: a repeated rebuild over the same tables.
void RunRebuild(benchmark::State& state, int pages, bool warm) {
    kv::text::SetCollationLocale("en_US");
    BenchWindow window;
    auto tables = std::make_unique<kv::data::DataTables>();
    FillCache(*tables, pages, 1500);
    auto aggregator = std::make_unique<kv::detect::KeywordAggregator>(*tables, window);
    if (warm) aggregator->RefreshKeywordTables();
    for (auto _ : state) {
        if (!warm) {
            // Only the rebuild counts, not making and freeing the tables and the memos.
            state.PauseTiming();
            aggregator.reset();
            tables = std::make_unique<kv::data::DataTables>();
            FillCache(*tables, pages, 1500);
            aggregator = std::make_unique<kv::detect::KeywordAggregator>(*tables, window);
            state.ResumeTiming();
        }
        aggregator->RefreshKeywordTables();
    }
    state.counters["keywords"] = std::stod(window.footer);
    state.counters["page_rows"] =
        static_cast<double>(tables->KeywordRes2ClientDataSet.StoredRows().size());
}

void BM_Rebuild150PagesCold(benchmark::State& s) {
    RunRebuild(s, 150, false);
}
void BM_Rebuild150PagesWarm(benchmark::State& s) {
    RunRebuild(s, 150, true);
}
void BM_Rebuild10000PagesCold(benchmark::State& s) {
    RunRebuild(s, 10000, false);
}
void BM_Rebuild10000PagesWarm(benchmark::State& s) {
    RunRebuild(s, 10000, true);
}
BENCHMARK(BM_Rebuild150PagesCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebuild150PagesWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebuild10000PagesCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebuild10000PagesWarm)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
