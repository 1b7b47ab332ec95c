// The web of today: 200 fetches of a 100 KB page from a local nginx over https and over http
// (the ratio: https may cost at most 2x per fetch, handshake included), gzip decoding
// throughput of a 5 MB page (at least 200 MB/s of output), and the processor share of a
// fetch waiting on a silent https server (under 2% of a core).
// Run: build/bench/transport_bench
#include <benchmark/benchmark.h>
#include <time.h>

#include <QCoreApplication>
#include <chrono>
#include <string>

#include "http/bodydecoder.h"
#include "http/httpunit.h"
#include "tests/http/compress.h"
#include "tests/support/nginx_fixture.h"
#include "tests/support/scripted_server.h"
#include "tests/support/tempdir.h"
#include "tests/support/testcerts.h"

namespace {

double Seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::string Page(std::size_t bytes) {
    std::string html = "<html><head><meta name=\"keywords\" content=\"a, b\"></head><body>";
    for (int i = 0; html.size() < bytes - 20; ++i)
        html += "<p>Kelvane benchmark line " + std::to_string(i) + " of text.</p>\n";
    return html + "</body></html>";
}

void Settings(kv::http::HttpUnit& unit, int timeoutSeconds, const std::string& caFile) {
    kv::http::ConnectionSettings& s = unit.Settings();
    s.ConnectType = kv::http::kConnectDirect;
    s.Proxy.clear();
    s.timeout = timeoutSeconds;
    s.RetryConnect = 0;
    s.CAFile = caFile;
}

// Wall seconds of `count` fetches of the url; the calling thread's processor seconds are
// added to `cpu` (steadier than wall time on a busy machine).
double FetchSeconds(kv::http::HttpUnit& unit, const std::string& url, int count,
                    benchmark::State& state, std::size_t size, double& cpu) {
    const double start = Seconds(CLOCK_MONOTONIC);
    const double cpuStart = Seconds(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < count; ++i) {
        std::string address = url, page;
        unit.FetchPage(address, "keywords", "", page);
        if (page.size() != size) state.SkipWithError("short page");
    }
    cpu += Seconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
    return Seconds(CLOCK_MONOTONIC) - start;
}

void BM_HttpsAgainstHttp(benchmark::State& state) {
    kv::testing::TestCertificates certs;
    kv::testing::NginxFixture plain;
    kv::testing::NginxFixture tls(certs.NginxTls("good"), "ssl");
    if (!certs.Made() || !plain.Running() || !tls.Running()) {
        state.SkipWithError("openssl or nginx missing");
        return;
    }
    const std::string html = Page(100 * 1024);
    plain.WriteDoc("page.html", html);
    tls.WriteDoc("page.html", html);
    kv::testing::TempDir folder;
    kv::http::HttpUnit unit(folder.path().string());
    Settings(unit, 5, certs.CaFile());
    double http = 0, https = 0, httpCpu = 0, httpsCpu = 0;
    const std::string httpsUrl = "https://localhost:" + std::to_string(tls.Port()) + "/page.html";
    // Ten rounds of 20 each, taking turns, so that a slow spell of the machine (or of its
    // memory allocator) falls on both alike.
    for (auto _ : state) {
        for (int round = 0; round < 10; ++round) {
            http += FetchSeconds(unit, plain.Url("/page.html"), 20, state, html.size(), httpCpu);
            https += FetchSeconds(unit, httpsUrl, 20, state, html.size(), httpsCpu);
        }
    }
    const double fetches = 200.0 * static_cast<double>(state.iterations());
    state.counters["http_ms_per_fetch"] = 1000 * http / fetches;
    state.counters["https_ms_per_fetch"] = 1000 * https / fetches;
    state.counters["https_to_http"] = http > 0 ? https / http : 0;
    state.counters["cpu_https_to_http"] = httpCpu > 0 ? httpsCpu / httpCpu : 0;
}
BENCHMARK(BM_HttpsAgainstHttp)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_GzipDecoding(benchmark::State& state) {
    const std::string page = Page(5 * 1024 * 1024);
    const std::string gzip = kv::http::testing::Compress(page, kv::http::testing::Wrap::Gzip);
    for (auto _ : state) {
        kv::http::BodyDecoder decoder(false, std::nullopt, kv::http::ContentCoding::Gzip);
        std::string out;
        out.reserve(page.size());
        for (std::size_t at = 0; at < gzip.size(); at += 16 * 1024) {
            decoder.Feed(std::string_view(gzip).substr(at, 16 * 1024),
                         [&out](std::string_view d) { out.append(d); });
        }
        if (out.size() != page.size()) state.SkipWithError("bad decoding");
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_GzipDecoding)->Unit(benchmark::kMillisecond);

// The processor and wall seconds of one fetch from a server that takes the connection and
// never says a word, so the handshake waits out the time-out.
void WaitOnSilentServer(kv::http::HttpUnit& unit, benchmark::State& state, double& cpu,
                        double& wall) {
    kv::testing::ScriptedServer server({kv::testing::Script().Hold()});
    std::string url = "https://" + server.HostPort() + "/", page;
    const double cpu0 = Seconds(CLOCK_THREAD_CPUTIME_ID), wall0 = Seconds(CLOCK_MONOTONIC);
    try {
        unit.FetchPage(url, "", "", page);
        state.SkipWithError("the silent server answered");
    } catch (const kv::http::FetchError&) {
    }
    cpu += Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0;
    wall += Seconds(CLOCK_MONOTONIC) - wall0;
}

// The share of a core a 3 s wait costs. A first, shorter wait builds the process's TLS
// context (its CA store read once), which is set-up, not waiting; its share is reported too.
void BM_SilentHttpsServerWait(benchmark::State& state) {
    kv::testing::TempDir folder;
    kv::http::HttpUnit unit(folder.path().string());
    Settings(unit, 1, "");
    double firstCpu = 0, firstWall = 0;
    WaitOnSilentServer(unit, state, firstCpu, firstWall);
    Settings(unit, 3, "");
    double cpu = 0, wall = 0;
    for (auto _ : state) WaitOnSilentServer(unit, state, cpu, wall);
    state.counters["core_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
    state.counters["first_wait_core_percent"] = firstWall > 0 ? 100.0 * firstCpu / firstWall : 0;
}
BENCHMARK(BM_SilentHttpsServerWait)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
