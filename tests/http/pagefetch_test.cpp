// The asynchronous page fetch and the scheduler: the per-host limit seen by the server, and
// the whole-page deadline against a server that trickles.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <map>

#include "data/inifile.h"
#include "http/fetchscheduler.h"
#include "tests/support/scripted_server.h"
#include "tests/support/tempdir.h"

namespace kv::http {
namespace {

using kv::testing::Script;
using kv::testing::ScriptedServer;
using kv::testing::TempDir;

// Answers every request after a pause and counts the connections open at once, per address
// it listens on. It runs on the test's own event loop, which the fetches turn.
class CountingServer {
  public:
    explicit CountingServer(const QString& address) {
        if (!server_.listen(QHostAddress(address), 0)) return;
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* peer = server_.nextPendingConnection();
            peak_ = std::max(peak_, ++open_);
            QObject::connect(peer, &QTcpSocket::readyRead, [peer] {
                if (!peer->peek(4096).contains("\r\n\r\n")) return;
                QTimer::singleShot(100, peer, [peer] {
                    peer->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html></html>");
                    peer->disconnectFromHost();
                });
            });
            QObject::connect(peer, &QTcpSocket::disconnected, [this, peer] {
                --open_;
                peer->deleteLater();
            });
        });
    }
    bool Listening() const { return server_.isListening(); }
    std::string Url(const std::string& path) const {
        return "http://" + server_.serverAddress().toString().toStdString() + ":" +
               std::to_string(server_.serverPort()) + path;
    }
    int Peak() const { return peak_; }

  private:
    QTcpServer server_;
    int open_ = 0;
    int peak_ = 0;
};

class PageFetchTest : public ::testing::Test {
  protected:
    void Settings(const std::string& extra) {
        data::IniFile ini(dir.File("set.ini"));
        ini.WriteString("inet", "ConnectType", "1");
        ini.WriteString("inet", "RetryConnect", "0");
        for (std::size_t at = 0; at < extra.size();) {
            const std::size_t end = extra.find('\n', at);
            const std::string line = extra.substr(at, end - at);
            const std::size_t eq = line.find('=');
            ini.WriteString("inet", line.substr(0, eq), line.substr(eq + 1));
            at = end == std::string::npos ? extra.size() : end + 1;
        }
        ini.Save();
        unit = std::make_unique<HttpUnit>(dir.path().string());
    }
    TempDir dir;
    std::unique_ptr<HttpUnit> unit;
};

TEST_F(PageFetchTest, AtMostTwoConnectionsToOneHostAndTheLimitInAll) {
    Settings("timeout=5");
    CountingServer a("127.0.0.1"), b("127.0.0.2");
    if (!b.Listening()) GTEST_SKIP() << "no 127.0.0.2 here";
    // Names for the addresses: no reverse lookup leaves the machine.
    unit->HostCache().AddReverse({"a.test"}, "127.0.0.1");
    unit->HostCache().AddReverse({"b.test"}, "127.0.0.2");
    FetchScheduler scheduler(*unit);
    scheduler.SetLimit(3);
    int done = 0, pages = 0, peakInFlight = 0;
    QEventLoop loop;
    for (int i = 0; i < 12; ++i) {
        const CountingServer& server = i % 3 == 0 ? b : a;
        scheduler.Submit(
            PageRequest{server.Url("/" + std::to_string(i)), "", "", {}, nullptr},
            [&](PageResult result) {
                pages += result.outcome == PageResult::Outcome::Page;
                if (++done == 12) loop.exit();
            },
            false, [&] { peakInFlight = std::max(peakInFlight, scheduler.InFlight()); });
    }
    QTimer::singleShot(20000, &loop, [&] { loop.exit(); });
    loop.exec();
    EXPECT_EQ(pages, 12);
    EXPECT_EQ(a.Peak(), 2);
    EXPECT_LE(b.Peak(), 2);
    EXPECT_EQ(peakInFlight, 3);
}

TEST_F(PageFetchTest, ATricklingServerEndsAtThePageDeadlineAndIsTriedAgain) {
    Settings("timeout=5\nPageTimeout=1\nRetryConnect=1");
    const std::string reply =
        "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + std::string(60, 'x');
    // One byte every 100 ms: never silent for long, never done within a second.
    const Script trickle = Script().ReadRequest().Trickle(reply, 1, std::chrono::milliseconds(100));
    ScriptedServer server({trickle, trickle});
    std::string address = server.Url("/slow"), page;
    try {
        unit->FetchPage(address, "", "", page);
        FAIL() << "the page came";
    } catch (const FetchError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The page took longer than 1 seconds. Proxy: ", 0),
                  0u)
            << e.what();
    }
    EXPECT_EQ(server.ConnectionsAccepted(), 2u);
}

TEST_F(PageFetchTest, AbortAllEndsTheFetchesInFlightWithoutCallingBack) {
    Settings("timeout=5");
    ScriptedServer server({Script().ReadRequest().Hold(), Script().ReadRequest().Hold()});
    FetchScheduler scheduler(*unit);
    scheduler.SetLimit(8);
    int calledBack = 0, started = 0;
    for (int i = 0; i < 3; ++i)
        scheduler.Submit(
            PageRequest{server.Url("/h"), "", "", {}, nullptr}, [&](PageResult) { ++calledBack; },
            false, [&] { ++started; });
    QEventLoop loop;
    QTimer::singleShot(300, &loop, [&] { loop.exit(); });
    loop.exec();
    EXPECT_EQ(started, 2);  // the third waits for a slot of its host
    scheduler.AbortAll();
    QTimer::singleShot(100, &loop, [&] { loop.exit(); });
    loop.exec();
    EXPECT_EQ(calledBack, 0);
    EXPECT_TRUE(scheduler.Idle());
}

}  // namespace
}  // namespace kv::http
