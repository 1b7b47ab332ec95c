// Throughput of the exchange over loopback (reply head and body reading) and of the cookie
// readers. Run: build/bench/http_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "http/cookmanager.h"
#include "http/httpcli.h"
#include "http/internetdate.h"
#include "tests/support/scripted_server.h"

namespace {

using kv::testing::Script;
using kv::testing::ScriptedServer;

void BM_FetchBody(benchmark::State& state) {
    const std::string page(static_cast<std::size_t>(state.range(0)), 'p');
    std::string head = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n";
    for (int i = 0; i < 20; ++i) head += "X-Field-" + std::to_string(i) + ": some value\r\n";
    head += "\r\n";
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedServer server({Script::Reply(head + page)});
        kv::http::THttpCli cli;
        std::string body;
        bool done = false;
        cli.SetRcvdStream(&body);
        cli.OnRequestDone = [&](kv::http::THttpCli&) { done = true; };
        cli.SetURL(server.Url("/"));
        state.ResumeTiming();
        cli.GetASync();
        QTimer tick;
        tick.start(1);
        while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (body.size() != page.size()) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_FetchBody)->Arg(50 * 1024)->Arg(4 * 1024 * 1024)->UseRealTime();

void BM_ReadInternetDate(benchmark::State& state) {
    const char* forms[] = {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT",
                           "Sun Nov  6 08:49:37 1994", "Tue, 8 Dec 2026 23:03:55 +0100"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(kv::http::ReadInternetDate(forms[i++ % 4]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadInternetDate);

void BM_CookieText(benchmark::State& state) {
    kv::http::TCookManager manager;
    for (int i = 0; i < 40; ++i) {
        manager.AddCookie("c" + std::to_string(i) + "=v; path=/a/; Max-Age=3600",
                          "http://www.example.test/a/b", 1796767435);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            manager.CookieText("http://www.example.test/a/b/c.html", 1796767435));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CookieText);

}  // namespace
