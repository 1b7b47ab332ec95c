// Loading and saving a result cache of 200,000 rows (SECache.cds), with peak memory.
// Rows look like real ones: 30 keywords of 12 engines' pages, 60-character addresses and
// keyword texts of 80 to 1500 characters (about 420 on average).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>

#include "bench/support/memory.h"
#include "data/tablefile.h"
#include "data/tables.h"

namespace {

constexpr int kRows = 200000;

std::string TempFolder() {
    char pattern[] = "/tmp/kelvane-bench-XXXXXX";
    return mkdtemp(pattern);
}

const std::string& CacheFile() {
    static const std::string path = [] {
        const std::string file = TempFolder() + "/SECache.cds";
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=OFF; CREATE TABLE SECache (word TEXT, SENAME TEXT, "
                     "Rank INTEGER, url TEXT, Keywords TEXT); BEGIN;",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO SECache VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
        std::mt19937 rng(42);
        std::uniform_int_distribution<int> length(80, 760);
        const std::string letters = "abcdefghijklmnopqrstuvwxyz";
        for (int i = 0; i < kRows; ++i) {
            const std::string word = "keyword number " + std::to_string(i % 6000);
            const std::string engine = "Engine " + std::to_string(i % 5);
            const std::string url =
                "http://www.site" + std::to_string(i) + ".example.com/path/to/a/page.html";
            std::string keywords;
            const int target = length(rng) + (i % 3 == 0 ? length(rng) : 0);
            while (static_cast<int>(keywords.size()) < target) {
                for (int k = 0; k < 8; ++k) keywords += letters[rng() % 26];
                keywords += ", ";
            }
            sqlite3_bind_text(insert, 1, word.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, engine.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 3, i % 30 + 1);
            sqlite3_bind_text(insert, 4, url.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 5, keywords.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file;
    }();
    return path;
}

void BM_LoadCache200k(benchmark::State& state) {
    const std::string& file = CacheFile();
    const double before = kv::bench::ResidentMiB();
    for (auto _ : state) {
        kv::data::DataTables tables;
        kv::data::LoadTableFile(tables.SECacheClientDataSet, file);
        benchmark::DoNotOptimize(tables.SECacheClientDataSet.StoredRows().size());
        state.counters["table_MiB"] = kv::bench::ResidentMiB() - before;
    }
    state.counters["peak_rss_MiB"] = kv::bench::PeakResidentMiB();
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_LoadCache200k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveCache200k(benchmark::State& state) {
    kv::data::DataTables tables;
    kv::data::LoadTableFile(tables.SECacheClientDataSet, CacheFile());
    const std::string out = TempFolder() + "/SECache.cds";
    for (auto _ : state) kv::data::SaveTableFile(tables.SECacheClientDataSet, out);
    state.counters["peak_rss_MiB"] = kv::bench::PeakResidentMiB();
    std::remove(out.c_str());
}
BENCHMARK(BM_SaveCache200k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
