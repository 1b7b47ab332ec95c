// A whole detection run side by side and one at a time: all five demo engines at depth 30
// against kelvane-demo-engine --latency 50, with the slow site at its 2 s and at 0. Counters:
// the fetches made (engine result pages and distinct result pages; a redirect inside a fetch
// is not counted again) and the peak resident memory.
// Run: build/bench/bench_run (the demo engine and SE.cds from build/bin).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <string>

#include "bench/support/memory.h"
#include "detect/session.h"
#include "tests/support/demofolder.h"
#include "tests/support/demoprocess.h"
#include "tests/support/silentrunwindow.h"
#include "tests/support/tempdir.h"

namespace {

// Every fetch that goes out sets a "Querying '...'" status.
class CountingWindow : public kv::testing::SilentRunWindow {
  public:
    CountingWindow() {
        ticked = {"AltaVista", "All The Web", "Google", "MSN", "Teoma"};
        onStatus = [this](const std::string& text) {
            if (text.starts_with("Querying '")) ++fetches;
        };
    }
    int fetches = 0;
};

// Arguments: pages in flight, the slow site's delay in ms.
void BM_DemoRun(benchmark::State& state) {
    const int parallel = static_cast<int>(state.range(0));
    const QString slow = QString::number(state.range(1));
    kv::testing::DemoEngine engine({"--latency", "50", "--slow", slow});
    int fetches = 0, stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        kv::testing::TempDir dir;
        kv::testing::PrepareDemoFolder(
            dir.path(), engine.Port(),
            "ConnectType=1\ntimeout=30\nRetryConnect=0\nParallelFetches=" +
                std::to_string(parallel) + "\n");
        CountingWindow window;
        kv::detect::Session session(dir.path().string(), window);
        session.LoadFiles();
        session.OpenHttp(nullptr);
        // The sites' addresses have names, as a second visit to the web finds them cached:
        // the run measures the fetching, not this machine's failing reverse lookups.
        for (int host = 1; host <= 9; ++host)
            session.Http().HostCache().AddReverse({"site" + std::to_string(host) + ".test"},
                                                  "127.0.0." + std::to_string(host));
        session.SelectKeyword("red shoes", true);
        state.ResumeTiming();
        const auto summary = session.Detect({"red shoes", window.ticked, 30});
        state.PauseTiming();
        fetches = window.fetches;
        stored = summary.pagesStored;
        state.ResumeTiming();
    }
    state.counters["fetches"] = fetches;
    state.counters["stored"] = stored;
    state.counters["peak_MiB"] = kv::bench::PeakResidentMiB();
}

BENCHMARK(BM_DemoRun)
    ->Args({1, 2000})
    ->Args({8, 2000})
    ->Args({1, 0})
    ->Args({8, 0})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
