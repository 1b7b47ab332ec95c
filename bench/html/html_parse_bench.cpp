// Parse throughput over real pages written by others: every *.html / *.htm under
// /usr/share/doc (Debian's documentation), or under $KELVANE_HTML_CORPUS when set. The pages
// are read at start-up and never stored in the repository. Also reports the peak heap of the
// largest page and of a 50 MB page, and the hostile shapes (deep nesting, only "<"): the heap
// as counted by operator new, and the growth of the resident set, which also holds the blocks
// the parser maps directly.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "data/tablefields.h"
#include "data/tables.h"
#include "detect/storepagekeywords.h"
#include "html/htmlparser.h"

namespace {

// Live and peak heap bytes, counted by the global allocation functions below while counting
// is on (only around the parses whose peak is reported, so throughput runs pay nothing).
std::atomic<bool> counting{false};
std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

void Count(void* p) {
    if (p == nullptr || !counting.load(std::memory_order_relaxed)) return;
    const long long now = liveBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
}

void Uncount(void* p) {
    if (p != nullptr && counting.load(std::memory_order_relaxed))
        liveBytes -= static_cast<long long>(malloc_usable_size(p));
}

}  // namespace

// These replace the global allocation functions, so free() is the right partner of malloc().
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    Count(p);
    return p;
}
void operator delete(void* p) noexcept {
    Uncount(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

struct Corpus {
    std::vector<std::string> pages;
    std::size_t bytes = 0;
    std::size_t largest = 0;  // index
};

const Corpus& LoadCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        const char* env = std::getenv("KELVANE_HTML_CORPUS");
        const std::filesystem::path root = env != nullptr ? env : "/usr/share/doc";
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(
                 root, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            const auto ext = it->path().extension();
            if (!it->is_regular_file(ec) || (ext != ".html" && ext != ".htm")) continue;
            std::ifstream in(it->path(), std::ios::binary);
            std::string page((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
            c.bytes += page.size();
            c.pages.push_back(std::move(page));
            if (c.pages.back().size() > c.pages[c.largest].size()) c.largest = c.pages.size() - 1;
        }
        std::fprintf(stderr, "corpus: %zu pages, %.1f MB from %s\n", c.pages.size(), c.bytes / 1e6,
                     root.c_str());
        return c;
    }();
    return corpus;
}

// Resident memory in kB from /proc/self/status ("VmRSS" now, "VmHWM" the peak); -1 when
// unreadable.
long StatusKB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

struct PeakMemory {
    double heapMB;  // counted by operator new: the parser's heap blocks
    double rssMB;   // growth of the resident set: also the arena's directly mapped blocks
};

// The memory a parser and its tree take at most while page is parsed.
PeakMemory PeakMemoryOf(const std::string& page) {
    // Writing 5 resets the resident peak (VmHWM) to the current resident size.
    std::ofstream clearRefs("/proc/self/clear_refs");
    const bool peakReset = static_cast<bool>(clearRefs << "5" << std::flush);
    const long rssBefore = StatusKB("VmRSS");
    liveBytes = 0;
    peakBytes = 0;
    counting = true;
    try {
        kv::html::THTMLParser parser;
        parser.Parse(page);
    } catch (const kv::html::EHtmlPageTooLarge&) {
        // a hostile page: its peak is what the budget allowed
    }
    counting = false;
    const long peak = StatusKB("VmHWM");
    const double rssMB = peakReset && rssBefore >= 0 && peak >= 0 ? (peak - rssBefore) / 1e3 : -1;
    return {peakBytes.load() / 1e6, rssMB};
}

// Parses page repeatedly with a new parser each time, as the page phase does; reports MB/s and
// the peak heap of one parse.
void ParseOne(benchmark::State& state, const std::string& page) {
    bool tooLarge = false;
    for (auto _ : state) {
        kv::html::THTMLParser parser;
        try {
            parser.Parse(page);
        } catch (const kv::html::EHtmlPageTooLarge&) {
            tooLarge = true;
        }
        benchmark::DoNotOptimize(parser.Root()->ChildCount());
    }
    state.counters["failed_too_large"] = tooLarge ? 1 : 0;
    const PeakMemory peak = PeakMemoryOf(page);
    state.counters["peak_heap_MB"] = peak.heapMB;
    state.counters["peak_rss_MB"] = peak.rssMB;
    state.counters["page_MB"] = page.size() / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_ParseCorpus(benchmark::State& state) {
    const Corpus& corpus = LoadCorpus();
    if (corpus.pages.empty()) {
        state.SkipWithError("no HTML pages found");
        return;
    }
    kv::html::THTMLParser parser;  // reused, as a detection run would
    for (auto _ : state)
        for (const std::string& page : corpus.pages) {
            parser.Parse(page);
            benchmark::DoNotOptimize(parser.Root()->ChildCount());
        }
    state.counters["pages"] = static_cast<double>(corpus.pages.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.bytes));
}
BENCHMARK(BM_ParseCorpus)->Unit(benchmark::kMillisecond);

// The whole page step of a run: parse, find the META keywords, append the cache row.
void BM_StorePageKeywordsCorpus(benchmark::State& state) {
    const Corpus& corpus = LoadCorpus();
    if (corpus.pages.empty()) {
        state.SkipWithError("no HTML pages found");
        return;
    }
    kv::data::DataTables tables;
    tables.WordClientDataSet.Append();
    tables.WordClientDataSet.SetString(kv::data::word_fields::Word, "red shoes");
    tables.WordClientDataSet.Post();
    auto& cache = tables.SECacheClientDataSet;
    int stored = 0;
    for (auto _ : state) {
        for (const std::string& page : corpus.pages)
            stored += kv::detect::StorePageKeywords(cache, "Google", "http://a.example/", 1, page);
        state.PauseTiming();
        cache.EmptyTable();
        state.ResumeTiming();
    }
    state.counters["pages_with_keywords"] = static_cast<double>(stored) / state.iterations();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.bytes));
}
BENCHMARK(BM_StorePageKeywordsCorpus)->Unit(benchmark::kMillisecond);

void BM_ParseLargestPage(benchmark::State& state) {
    const Corpus& corpus = LoadCorpus();
    if (corpus.pages.empty()) {
        state.SkipWithError("no HTML pages found");
        return;
    }
    ParseOne(state, corpus.pages[corpus.largest]);
}
BENCHMARK(BM_ParseLargestPage)->Unit(benchmark::kMillisecond);

// Real pages run together to 50 MB.
void BM_Parse50MBPage(benchmark::State& state) {
    const Corpus& corpus = LoadCorpus();
    std::string page;
    page.reserve(50'000'000 + 1'000'000);
    for (std::size_t i = 0; !corpus.pages.empty() && page.size() < 50'000'000; ++i)
        page += corpus.pages[i % corpus.pages.size()];
    if (page.empty()) page.assign(50'000'000, 'x');
    ParseOne(state, page);
}
BENCHMARK(BM_Parse50MBPage)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ParseDeepNesting(benchmark::State& state) {
    std::string page;
    for (int i = 0; i < 200000; ++i) page += "<div>";
    page += "x";
    for (int i = 0; i < 200000; ++i) page += "</div>";
    ParseOne(state, page);
}
BENCHMARK(BM_ParseDeepNesting)->Unit(benchmark::kMillisecond);

// The worst page of the hostile set: "<b>" over and over, one element per 3 bytes, each
// nested in the last; the argument is the page's size in MB, up to 63 (inside the 64 MB body
// cap). Past the tree budget the page fails; the peak is the figure to watch.
void BM_ParseElementFlood(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) << 20;
    std::string page;
    page.reserve(bytes);
    while (page.size() + 3 <= bytes) page += "<b>";
    ParseOne(state, page);
}
BENCHMARK(BM_ParseElementFlood)
    ->Arg(1)
    ->Arg(16)
    ->Arg(63)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_ParseOnlyLessThan50MB(benchmark::State& state) {
    ParseOne(state, std::string(50'000'000, '<'));
}
BENCHMARK(BM_ParseOnlyLessThan50MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
