// StorePageKeywords with every keyword source against META keywords alone, in one run, over
// real pages written by others (every *.html / *.htm under /usr/share/doc, or under
// $KELVANE_HTML_CORPUS) and over the demo web's result sites, which declare their topics in all
// four ways. Each iteration stores every page both ways; the counters give the time per pass and
// the ratio (all / meta), whose target is at most 1.3.
#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/tablefields.h"
#include "data/tables.h"
#include "detect/storepagekeywords.h"
#include "text/textcompare.h"
#include "tools/demoengine/sitepages.h"
#include "tools/demoengine/sites.h"

namespace {

using Pages = std::vector<std::string>;

const Pages& RealPages() {
    static const Pages pages = [] {
        Pages out;
        const char* env = std::getenv("KELVANE_HTML_CORPUS");
        const std::filesystem::path root = env != nullptr ? env : "/usr/share/doc";
        std::error_code ec;
        using Walk = std::filesystem::recursive_directory_iterator;
        for (Walk it(root, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != Walk(); it.increment(ec)) {
            const auto ext = it->path().extension();
            if (!it->is_regular_file(ec) || (ext != ".html" && ext != ".htm")) continue;
            std::ifstream in(it->path(), std::ios::binary);
            out.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return out;
    }();
    return pages;
}

const Pages& DemoPages() {
    static const Pages pages = [] {
        Pages out;
        for (const char* slug : {"red-shoes", "seo-tools", "mp3-player", "garden-chairs"}) {
            for (int site = kv::demo::kFirstOrdinarySite; site <= kv::demo::kLastSite; ++site) {
                kv::demo::Request request;
                request.method = "GET";
                request.path = "/site/" + std::to_string(site) + "/" + slug + ".html";
                if (auto r = kv::demo::ServeSite(request, "127.0.0.1:8765", 0))
                    out.push_back(r->body);
            }
        }
        return out;
    }();
    return pages;
}

struct Store {
    Store() {
        tables.WordClientDataSet.Append();
        tables.WordClientDataSet.SetString(kv::data::word_fields::Word, "red shoes");
        tables.WordClientDataSet.Post();
    }
    // CPU seconds of this thread to store every page, and how many gave a row. CPU time, so
    // the ratio holds on a machine busy with other work.
    double Pass(const Pages& pages, kv::detect::KeywordSources sources, int& rows) {
        auto& cache = tables.SECacheClientDataSet;
        const double start = ThreadSeconds();
        for (const std::string& page : pages)
            rows += kv::detect::StorePageKeywords(cache, "Google", "http://a.example/", 1, page,
                                                  sources);
        const double took = ThreadSeconds() - start;
        cache.EmptyTable();
        return took;
    }
    static double ThreadSeconds() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    }
    kv::data::DataTables tables;
};

void SourcesAgainstMetaOnly(benchmark::State& state, const Pages& pages) {
    if (pages.empty()) {
        state.SkipWithError("no HTML pages found");
        return;
    }
    kv::text::SetCollationLocale("en_US");
    Store store;
    double meta = 0, all = 0;
    int metaRows = 0, allRows = 0;
    std::size_t bytes = 0;
    for (const std::string& page : pages) bytes += page.size();
    for (auto _ : state) {
        const double m = store.Pass(pages, kv::detect::KeywordSources::MetaOnly(), metaRows);
        const double a = store.Pass(pages, kv::detect::KeywordSources::All(), allRows);
        meta += m;
        all += a;
        state.SetIterationTime(m + a);  // both passes; the counters tell them apart
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["pages"] = static_cast<double>(pages.size());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["meta_ms"] = meta * 1e3 / n;
    state.counters["all_ms"] = all * 1e3 / n;
    state.counters["ratio"] = all / meta;
    state.counters["meta_rows"] = metaRows / n;
    state.counters["all_rows"] = allRows / n;
}

void BM_RealPages(benchmark::State& state) {
    SourcesAgainstMetaOnly(state, RealPages());
}
void BM_DemoSitePages(benchmark::State& state) {
    SourcesAgainstMetaOnly(state, DemoPages());
}
BENCHMARK(BM_RealPages)->UseManualTime()->Iterations(5);
BENCHMARK(BM_DemoSitePages)->UseManualTime()->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
