// Page fetching: the processor time of a fetch that waits on a silent server (the wait loop
// must stay near idle), and the wall time of sequential fetches of a 50 KB page from a local
// nginx. Run: build/bench/fetch_bench
#include <benchmark/benchmark.h>
#include <time.h>

#include <QCoreApplication>
#include <string>

#include "http/httpunit.h"
#include "tests/support/nginx_fixture.h"
#include "tests/support/scripted_server.h"
#include "tests/support/tempdir.h"

namespace {

using kv::testing::Script;
using kv::testing::ScriptedServer;

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double WallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void DirectSettings(kv::http::HttpUnit& unit, int timeoutSeconds) {
    kv::http::ConnectionSettings& s = unit.Settings();
    s.ConnectType = kv::http::kConnectDirect;
    s.Proxy.clear();
    s.timeout = timeoutSeconds;
    s.RetryConnect = 0;
}

// One fetch that times out after 10 s of silence; the counter is the share of one core used
// by the calling thread (where the wait loop runs) over the wait.
void BM_SilentServerWait(benchmark::State& state) {
    kv::testing::TempDir folder;
    kv::http::HttpUnit unit(folder.path().string());
    DirectSettings(unit, 10);
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        ScriptedServer server({Script().ReadRequest().Hold()});
        std::string url = server.Url("/"), page;
        const double cpu0 = ThreadCpuSeconds(), wall0 = WallSeconds();
        try {
            unit.FetchPage(url, "", "", page);
            state.SkipWithError("the silent server answered");
        } catch (const kv::http::FetchError&) {
        }
        cpu += ThreadCpuSeconds() - cpu0;
        wall += WallSeconds() - wall0;
    }
    state.counters["cpu_ms"] = cpu * 1000 / static_cast<double>(state.iterations());
    state.counters["core_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
}
BENCHMARK(BM_SilentServerWait)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// 100 sequential fetches of a 50 KB page from nginx on 127.0.0.1.
void BM_HundredFetchesFromNginx(benchmark::State& state) {
    kv::testing::NginxFixture nginx;
    if (!nginx.Running()) {
        state.SkipWithError(nginx.Problem().c_str());
        return;
    }
    std::string html = "<html><head><meta name=\"keywords\" content=\"a, b\"></head><body>";
    while (html.size() < 50 * 1024 - 20) html += "<p>Kelvane benchmark text line.</p>\n";
    html += "</body></html>";
    nginx.WriteDoc("page.html", html);
    kv::testing::TempDir folder;
    kv::http::HttpUnit unit(folder.path().string());
    DirectSettings(unit, 5);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            std::string url = nginx.Url("/page.html"), page;
            unit.FetchPage(url, "keywords", "", page);
            if (page.size() != html.size()) state.SkipWithError("short page");
        }
    }
    state.SetBytesProcessed(state.iterations() * 100 * static_cast<int64_t>(html.size()));
}
BENCHMARK(BM_HundredFetchesFromNginx)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
