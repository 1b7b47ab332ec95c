// The timed client against the scripted server: the inactivity deadline, cancel, name
// resolution through the host cache, the proxy choice, challenges and cookies.
#include "http/timedhttpcli.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "http/authstore.h"
#include "http/cookmanager.h"
#include "http/domainsiplist.h"
#include "tests/http/exchange_fixture.h"
#include "tests/http/fetch_fixture.h"
#include "tests/http/headtail.h"
#include "tests/support/scripted_server.h"

namespace kv::http::testing {
namespace {

using kv::testing::Script;
using kv::testing::ScriptedServer;
using namespace std::chrono_literals;

constexpr auto kShort = 300ms;

// A credential store on a file in a temporary folder.
struct TempDirStore {
    TempDirStore() { auth.Open(dir.File("test.auth")); }
    kv::testing::TempDir dir;
    AuthStore auth;
};

class TimedCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cli.SetRcvdStream(&body);
        cli.SetHostCache(&cache);
        cli.SetAccept("");
        cli.SetAgent("");
        cli.OnStateChange = [this](THttpCli& c) {
            if (c.State() == THttpState::DnsLookup) ++lookups;
        };
    }

    TDomainsIPList cache;
    TTimedHttpCli cli;
    std::string body;
    int lookups = 0;
};

// The production wiring: without a clock of its own the client times out on the steady clock.
// The deadlines themselves are tested on a test clock (ClockedCliTest below).
TEST_F(TimedCliTest, ASilentServerTimesOutOnTheSteadyClock) {
    ScriptedServer silent({Script().ReadRequest().Hold()});
    cli.SetURL(silent.Url("/quiet"));
    EXPECT_EQ(cli.GetWithTimeout(kShort), TWaitResult::TimedOut);
    EXPECT_EQ(cli.EndReason(), kEndReasonTimedOut);
    EXPECT_EQ(cli.State(), THttpState::Ready);
    EXPECT_EQ(silent.ConnectionsAccepted(), 1u);
}

TEST_F(TimedCliTest, OnWaitCancelsTheRequest) {
    ScriptedServer silent({Script().ReadRequest().Hold()});
    int turns = 0;
    cli.OnWait = [&](TTimedHttpCli&, bool& canAbort) { canAbort = ++turns == 5; };
    cli.SetURL(silent.Url("/"));
    EXPECT_EQ(cli.GetWithTimeout(10s), TWaitResult::Canceled);
    EXPECT_EQ(cli.EndReason(), kEndReasonCanceled);
    EXPECT_EQ(turns, 5);
}

// Quitting the application ends every later event loop of the process too, so this runs in
// a child process.
TEST(TimedCliQuitTest, ApplicationQuittingEndsTheWaitAsTimedOut) {
    EXPECT_EXIT(
        {
            // The time-out itself never comes; the watchdog fails a wait that ignores the quit.
            std::thread([] {
                std::this_thread::sleep_for(10s);
                std::_Exit(2);
            }).detach();
            ScriptedServer silent({Script().ReadRequest().Hold()});
            TTimedHttpCli cli;
            cli.SetURL(silent.Url("/"));
            QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
            const bool timedOut = cli.GetWithTimeout(1h) == TWaitResult::TimedOut;
            std::_Exit(timedOut && cli.EndReason() == kEndReasonTimedOut ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(TimedCliTest, AnAbortFromAHandlerEndsCanceled) {
    ScriptedServer server({Script::Reply("HTTP/1.0 200 OK\r\nContent-Type: image/png\r\n\r\nPNG")});
    cli.OnHeaderEnd = [](THttpCli& c) { c.Abort(); };
    cli.SetURL(server.Url("/img"));
    EXPECT_EQ(cli.GetWithTimeout(2s), TWaitResult::Canceled);
    EXPECT_EQ(body, "");
}

TEST_F(TimedCliTest, AbortWhenTheLookupCompletesEndsCanceled) {
    ScriptedServer server({Script::Reply("HTTP/1.0 200 OK\r\n\r\nnever read")});
    cli.OnStateChange = [](THttpCli& c) {
        if (c.State() == THttpState::DnsLookupDone) c.Abort();
    };
    cli.SetURL("http://localhost:" + std::to_string(server.Port()) + "/");
    EXPECT_EQ(cli.GetWithTimeout(2s), TWaitResult::Canceled);
    EXPECT_EQ(body, "");
    // The client serves the next request as usual.
    cli.OnStateChange = nullptr;
    EXPECT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(body, "never read");
}

TEST_F(TimedCliTest, NameThatDoesNotResolveEndsWith404AndTheName) {
    cli.SetURL("http://no-such-host.invalid/page");
    EXPECT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(cli.StatusCode(), 404);
    EXPECT_EQ(cli.ReasonPhrase(), "can't resolve hostname (no-such-host.invalid) to IP address");
    EXPECT_EQ(cli.EndReason(), 11001);
    EXPECT_EQ(cache.Count(), 0u);
}

TEST_F(TimedCliTest, LookupsFillTheHostCacheAndACachedHostIsNotLookedUpAgain) {
    ScriptedServer server({Script::Reply("HTTP/1.0 200 OK\r\n\r\none"),
                           Script::Reply("HTTP/1.0 200 OK\r\n\r\ntwo"),
                           Script::Reply("HTTP/1.0 200 OK\r\n\r\nthree")});
    const std::string port = std::to_string(server.Port());
    cli.SetURL("http://localhost:" + port + "/");
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(body, "one");
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(cache.AddressOf("LOCALHOST"), "127.0.0.1");

    body.clear();
    cli.SetURL("http://localhost:" + port + "/again");
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(body, "two");
    EXPECT_EQ(lookups, 1);

    // An address is looked up in reverse; the cache now names it already.
    body.clear();
    cli.SetURL("http://127.0.0.1:" + port + "/");
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(body, "three");
    EXPECT_EQ(lookups, 1);
}

TEST_F(TimedCliTest, WithoutAHostCacheTheLookupResultsStillServe) {
    ScriptedServer server({Script::Reply("HTTP/1.0 200 OK\r\n\r\nbare")});
    TTimedHttpCli bare;
    std::string got;
    bare.SetRcvdStream(&got);
    bare.SetURL("http://localhost:" + std::to_string(server.Port()) + "/");
    ASSERT_EQ(bare.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(bare.StatusCode(), 200);
    EXPECT_EQ(got, "bare");
}

TEST_F(TimedCliTest, AddressWithoutAReverseNameStillConnects) {
    // 127.0.0.2 is loopback too, but no name belongs to it. The server runs on the client's
    // own event loop, which the wait turns.
    QTcpServer server;
    if (!server.listen(QHostAddress("127.0.0.2"), 0)) GTEST_SKIP() << "no 127.0.0.2 here";
    QObject::connect(&server, &QTcpServer::newConnection, [&server] {
        QTcpSocket* peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [peer] {
            if (!peer->peek(4096).contains("\r\n\r\n")) return;
            peer->write("HTTP/1.0 200 OK\r\n\r\nreached");
            peer->disconnectFromHost();
        });
    });
    cli.SetURL("http://127.0.0.2:" + std::to_string(server.serverPort()) + "/");
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(body, "reached");
    EXPECT_FALSE(cache.NameOf("127.0.0.2").has_value());
}

TEST_F(TimedCliTest, RefusedPortEndsWithTheSocketError) {
    std::uint16_t port = 0;
    {
        ScriptedServer gone({});
        port = gone.Port();
    }
    cli.SetURL("http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(cli.StatusCode(), 404);
    EXPECT_EQ(cli.ReasonPhrase(), "Connection refused (Error #10061)");
    EXPECT_EQ(cli.LastSocketError(), 10061);
}

TEST_F(TimedCliTest, ProxyGetsTheAbsoluteAddressUnlessTheBypassListMatches) {
    ScriptedServer proxy({Script::Reply("HTTP/1.0 200 OK\r\n\r\nvia proxy")});
    ScriptedServer origin({Script::Reply("HTTP/1.0 200 OK\r\n\r\ndirect")});
    cli.SetProxy(proxy.HostPort());
    cli.SetURL(origin.Url("/p?q=1"));
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(body, "via proxy");
    EXPECT_EQ(proxy.Request(0), "GET " + origin.Url("/p?q=1") + " HTTP/1.1\r\nHost: " +
                                    origin.HostPort() + "\r\n" + kHeadTail + "\r\n");

    body.clear();
    cli.SetProxyOverride("<local>; 127.0.0.*");
    cli.SetURL(origin.Url("/d"));
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(body, "direct");
    EXPECT_EQ(origin.Request(0),
              "GET /d HTTP/1.1\r\nHost: " + origin.HostPort() + "\r\n" + kHeadTail + "\r\n");
    EXPECT_EQ(proxy.ConnectionsAccepted(), 1u);
}

TEST_F(TimedCliTest, ChallengeWithQuotedRealmIsPromptedAndRepeated) {
    TempDirStore store;
    ScriptedDialog dialog;
    dialog.user = "ann";
    dialog.password = "pw";
    store.auth.SetDialog(&dialog);
    ScriptedServer server(
        {Script::Reply("HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"Members "
                       "area\"\r\nContent-Type: text/html\r\n\r\nno"),
         Script::Reply("HTTP/1.0 200 OK\r\n\r\nwelcome"),
         Script::Reply("HTTP/1.0 200 OK\r\n\r\nagain")});
    std::vector<std::string> authEvents;
    cli.OnBeforeRequestAuth = [&](TTimedHttpCli&, int code, bool& go) {
        authEvents.push_back("before " + std::to_string(code));
        EXPECT_TRUE(go);
    };
    cli.OnAfterRequestAuth = [&](TTimedHttpCli&, int code, int result) {
        authEvents.push_back("after " + std::to_string(code) + " " + std::to_string(result));
    };
    cli.SetAuthStore(&store.auth);
    cli.OnDocBegin = [this](THttpCli&) { body.clear(); };
    cli.SetURL(server.Url("/private?x=1"));
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(body, "welcome");
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].caption, "Server:");
    EXPECT_EQ(dialog.shown[0].realm, "\"Members area\"");
    EXPECT_EQ(dialog.shown[0].site, server.Url("/private?x=1"));
    EXPECT_EQ(authEvents, (std::vector<std::string>{"before 401", "after 401 1"}));
    const std::string authorization = "Authorization: Basic YW5uOnB3\r\n";  // ann:pw
    EXPECT_EQ(server.Request(0).find("Authorization"), std::string::npos);
    EXPECT_NE(server.Request(1).find(authorization), std::string::npos);

    // A new client for the same address without its query sends the pair ahead of time.
    TTimedHttpCli next;
    std::string nextBody;
    next.SetRcvdStream(&nextBody);
    next.SetAuthStore(&store.auth);
    next.SetURL(server.Url("/private?x=2"));
    ASSERT_EQ(next.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(nextBody, "again");
    EXPECT_NE(server.Request(2).find(authorization), std::string::npos);
    EXPECT_EQ(dialog.shown.size(), 1u);
}

TEST_F(TimedCliTest, CanceledPromptLeavesTheChallengeAsTheResult) {
    TempDirStore store;
    ScriptedDialog dialog;
    dialog.answer = kAuthCanceled;
    store.auth.SetDialog(&dialog);
    ScriptedServer server({Script::Reply(
        "HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic\r\nContent-Length: 2\r\n\r\nno")});
    cli.SetAuthStore(&store.auth);
    cli.SetURL(server.Url("/"));
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(cli.StatusCode(), 401);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].realm, "Basic");  // no "realm=": the whole value
    EXPECT_EQ(server.ConnectionsAccepted(), 1u);
}

TEST_F(TimedCliTest, CookiesReachTheManagerAndOnCookieParsed) {
    ScriptedServer server(
        {Script::Reply("HTTP/1.0 302 Found\r\nLocation: /next\r\nSet-Cookie: s=1; path=/\r\n"
                       "Set-Cookie: nopath=2\r\n\r\n"),
         Script::Reply("HTTP/1.0 200 OK\r\n\r\ndone")});
    TCookManager manager;
    cli.SetCookManager(&manager);
    std::vector<std::string> parsed;
    cli.OnCookieParsed = [&](TTimedHttpCli&, const std::string& name, const std::string& value,
                             const std::string&, const std::string&, const std::string& path, bool,
                             const std::string&,
                             bool&) { parsed.push_back(name + "=" + value + " path " + path); };
    cli.SetURL(server.Url("/first"));
    ASSERT_EQ(cli.GetWithTimeout(2s), TWaitResult::Done);
    EXPECT_EQ(body, "done");
    EXPECT_EQ(parsed, (std::vector<std::string>{"s=1 path /", "nopath=2 path "}));
    EXPECT_EQ(server.Request(1), "GET /next HTTP/1.1\r\nHost: " + server.HostPort() +
                                     "\r\nCookie: s=1\r\n" + kHeadTail + "\r\n");
}

// A clock that moves only when the test moves it.
struct ManualClock {
    std::chrono::steady_clock::time_point now;
    TTimedHttpCli::Clock Reader() {
        return [this] { return now; };
    }
};

// A dialog during which an hour passes on the test's clock; the event loop turns meanwhile,
// as under a real dialog, so the client's turns run while the prompt is open.
class HourLongDialog : public ScriptedDialog {
  public:
    explicit HourLongDialog(ManualClock& clock) : clock_(clock) {}
    int Execute(TAuthDlgData& data) override {
        open = true;
        clock_.now += 1h;
        QElapsedTimer spent;
        spent.start();
        while (spent.elapsed() < 5 * kWaitTurn.count())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        open = false;
        return ScriptedDialog::Execute(data);
    }
    bool open = false;

  private:
    ManualClock& clock_;
};

// A peer on the test's own event loop that sends only what the test tells it to, so the test
// knows what the client has received when it moves the clock.
class LoopPeer {
  public:
    LoopPeer() {
        if (!server_.listen(QHostAddress::LocalHost, 0)) ADD_FAILURE() << "no loopback port";
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            socket_ = server_.nextPendingConnection();
            ++connections_;
            request_.clear();
            QObject::connect(socket_, &QTcpSocket::readyRead,
                             [this] { request_ += socket_->readAll().toStdString(); });
        });
    }
    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + "/";
    }
    // Whether connection number `connection` (from 1) has sent its request head.
    bool HasRequest(int connection = 1) const {
        return connections_ == connection && request_.find("\r\n\r\n") != std::string::npos;
    }
    void Send(const std::string& bytes) {
        if (socket_ != nullptr) socket_->write(bytes.data(), bytes.size());
    }
    void Close() {
        if (socket_ != nullptr) socket_->disconnectFromHost();
    }

  private:
    QTcpServer server_;
    QTcpSocket* socket_ = nullptr;  // the last connection, owned by server_
    int connections_ = 0;
    std::string request_;  // of the last connection
};

// The deadlines on a test clock: an exchange times out because the clock says so, never
// because the machine was slow, and none of these tests waits for a time-out.
class ClockedCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cli.SetRcvdStream(&body);
        cli.OnWait = [this](TTimedHttpCli&, bool&) { ++turns; };
        cli.OnHeaderData = [this](THttpCli&, const std::string&) { ++headerLines; };
    }

    void Start(std::chrono::milliseconds timeout, std::chrono::milliseconds pageTimeout = {}) {
        cli.SetURL(peer.Url());
        cli.StartGet(timeout, pageTimeout, [this](TWaitResult how) { result = how; });
        ASSERT_TRUE(RunEventsUntil([this] { return peer.HasRequest() || result.has_value(); }));
        ASSERT_FALSE(result.has_value()) << "the exchange ended before its request came";
    }
    // Sends bytes and waits until the client has read a header line or body bytes of them.
    void Deliver(const std::string& bytes) {
        const std::size_t before = headerLines + body.size();
        peer.Send(bytes);
        ASSERT_TRUE(RunEventsUntil([&] { return headerLines + body.size() > before; }));
    }
    // Moves the clock and waits until the client has looked at it; false when the exchange
    // has ended.
    bool Advance(std::chrono::milliseconds by) {
        clock.now += by;
        const int before = turns;
        EXPECT_TRUE(RunEventsUntil([&] { return turns > before || result.has_value(); }));
        return !result.has_value();
    }

    ManualClock clock;
    TTimedHttpCli cli{clock.Reader()};
    LoopPeer peer;
    std::string body;
    std::size_t headerLines = 0;
    int turns = 0;
    std::optional<TWaitResult> result;
};

TEST_F(ClockedCliTest, ATrickleWithinTheTimeOutLastsFarLongerThanIt) {
    Start(300ms);
    for (const char* piece : {"HTTP/1.0 200 OK\r\n", "Content-Type: text/html\r\n", "X-A: 1\r\n",
                              "X-B: 2\r\n", "\r\n<p>", "slow</p>"}) {
        ASSERT_TRUE(Advance(250ms)) << piece;
        Deliver(piece);
    }
    peer.Close();
    ASSERT_TRUE(RunEventsUntil([this] { return result.has_value(); }));
    EXPECT_EQ(*result, TWaitResult::Done);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(body, "<p>slow</p>");
}

TEST_F(ClockedCliTest, SilenceEndsTheExchangeWhenTheClockReachesTheTimeOut) {
    Start(300ms);
    ASSERT_TRUE(Advance(200ms));
    Deliver("HTTP/1.0 200 OK\r\n");  // silence counts from here
    EXPECT_TRUE(Advance(299ms));
    EXPECT_FALSE(Advance(1ms));
    EXPECT_EQ(result, TWaitResult::TimedOut);
    EXPECT_EQ(cli.EndReason(), kEndReasonTimedOut);
    EXPECT_FALSE(cli.PageDeadlinePassed());
    EXPECT_EQ(cli.State(), THttpState::Ready);
}

TEST_F(ClockedCliTest, ThePageDeadlineEndsATrickleThatIsNeverSilentForLong) {
    Start(300ms, 1s);
    for (const char* line : {"HTTP/1.0 200 OK\r\n", "X-A: 1\r\n", "X-B: 2\r\n"}) {
        ASSERT_TRUE(Advance(250ms)) << line;
        Deliver(line);
    }
    EXPECT_TRUE(Advance(249ms));
    EXPECT_FALSE(Advance(1ms));
    EXPECT_EQ(result, TWaitResult::TimedOut);
    EXPECT_EQ(cli.EndReason(), kEndReasonTimedOut);
    EXPECT_TRUE(cli.PageDeadlinePassed());
}

TEST_F(ClockedCliTest, NeitherDeadlineRunsWhileThePromptIsOpen) {
    TempDirStore store;
    HourLongDialog dialog(clock);
    dialog.user = "u";
    store.auth.SetDialog(&dialog);
    cli.SetAuthStore(&store.auth);
    bool askedDuringPrompt = false;
    cli.OnWait = [&](TTimedHttpCli&, bool&) {
        ++turns;
        askedDuringPrompt |= dialog.open;
    };
    Start(300ms, 1s);
    peer.Send("HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=r\r\n\r\nx");
    peer.Close();
    ASSERT_TRUE(RunEventsUntil([this] { return peer.HasRequest(2); }));
    // An hour passed at the prompt; the repeated request still has all its time.
    ASSERT_TRUE(Advance(299ms));
    Deliver("HTTP/1.0 200 OK\r\n\r\nin");
    peer.Close();
    ASSERT_TRUE(RunEventsUntil([this] { return result.has_value(); }));
    EXPECT_EQ(result, TWaitResult::Done);
    EXPECT_FALSE(cli.PageDeadlinePassed());
    EXPECT_EQ(cli.StatusCode(), 200);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].realm, "r");
    EXPECT_FALSE(askedDuringPrompt);
}

}  // namespace
}  // namespace kv::http::testing
