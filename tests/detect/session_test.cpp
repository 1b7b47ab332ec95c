// Runs side by side against the demo engine and scripted servers: the same tables as one at a
// time, one fetch per address, and a Stop that ends everything at once.
#include "detect/session.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/support/demofolder.h"
#include "tests/support/demoprocess.h"
#include "tests/support/scripted_server.h"
#include "tests/support/silentrunwindow.h"
#include "tests/support/tempdir.h"
#include "text/textcompare.h"

namespace kv::detect {
namespace {

using kv::testing::DemoEngine;
using kv::testing::Script;
using kv::testing::ScriptedServer;
using kv::testing::TempDir;

class QuietWindow : public kv::testing::SilentRunWindow {
  public:
    QuietWindow() { ticked = {"AltaVista", "All The Web", "Google", "MSN", "Teoma"}; }
};

// Every row of a table in record order, cells joined by tabs.
std::vector<std::string> Rows(data::Table& table) {
    std::vector<std::string> rows;
    for (int i = 0; i < table.RecordCount(); ++i) {
        std::string row;
        for (int f = 0; f < static_cast<int>(table.Fields().size()); ++f)
            row += table.CellText(i, f) + "\t";
        rows.push_back(row);
    }
    return rows;
}

int OpenSockets() {
    int count = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(fd.path(), error);
        if (!error && target.string().starts_with("socket:")) ++count;
    }
    return count;
}

struct Outcome {
    std::vector<std::string> cache, theme, log;
};

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }

    // A session on a fresh demo folder; the sites' loopback addresses get names in the host
    // cache, as a second visit to the web finds them, so no lookup leaves the machine.
    std::unique_ptr<Session> Open(const TempDir& dir, quint16 port, int parallel) {
        kv::testing::PrepareDemoFolder(
            dir.path(), port,
            "ConnectType=1\ntimeout=5\nRetryConnect=0\nParallelFetches=" +
                std::to_string(parallel) + "\n");
        auto session = std::make_unique<Session>(dir.path().string(), window);
        session->LoadFiles();
        session->OpenHttp(nullptr);
        for (int host = 1; host <= 9; ++host) {
            const std::string address = "127.0.0." + std::to_string(host);
            session->Http().HostCache().AddReverse({"site" + std::to_string(host) + ".test"},
                                                   address);
        }
        session->SelectKeyword("red shoes", true);
        return session;
    }

    Outcome RunDemo(quint16 port, int parallel) {
        TempDir dir;
        auto session = Open(dir, port, parallel);
        session->Detect({"red shoes", window.ticked, 30});
        Outcome out{Rows(session->Tables().SECacheClientDataSet),
                    Rows(session->Tables().KeywordResClientDataSet), window.log};
        std::sort(out.log.begin(), out.log.end());
        return out;
    }

    QuietWindow window;
};

TEST_F(SessionTest, SideBySideGivesTheTablesOfOneAtATime) {
    // The demo's results hold a slow site, an image, redirects and failing pages.
    DemoEngine engine({"--slow", "300", "--latency", "5"});
    const Outcome one = RunDemo(engine.Port(), 1);
    const Outcome eight = RunDemo(engine.Port(), 8);
    ASSERT_GT(one.cache.size(), 100u);
    EXPECT_EQ(eight.cache, one.cache);
    EXPECT_EQ(eight.theme, one.theme);
    EXPECT_EQ(eight.log, one.log);
    EXPECT_FALSE(one.log.empty()) << "the missing page fails";
}

// --skip-cached asks this: a keyword counts as cached when every named engine has rows, the
// names matched as the theme matches them.
TEST_F(SessionTest, CachedRowsAreFoundForEveryNamedEngineWhateverItsCase) {
    DemoEngine engine;
    TempDir dir;
    auto session = Open(dir, engine.Port(), 4);
    session->Detect({"red shoes", {"Google", "MSN"}, 10});
    EXPECT_TRUE(session->HasCachedRows("red shoes", {"google", "MSN"}));
    EXPECT_FALSE(session->HasCachedRows("red shoes", {"Google", "Teoma"}));
    EXPECT_FALSE(session->HasCachedRows("blue hats", {"Google"}));
}

TEST_F(SessionTest, StopEndsEverythingInFlightAndNothingFollows) {
    DemoEngine engine({"--latency", "300"});
    TempDir dir;
    auto session = Open(dir, engine.Port(), 8);
    const int socketsBefore = OpenSockets();
    int pagesStarted = 0;
    std::size_t rowsAtStop = 0, linesAtStop = 0;
    window.onStatus = [&](const std::string& status) {
        if (!status.starts_with("Querying 'http") || ++pagesStarted != 12) return;
        rowsAtStop = static_cast<std::size_t>(session->Tables().SECacheClientDataSet.RecordCount());
        linesAtStop = window.log.size();
        session->Stop();
    };
    session->Detect({"red shoes", window.ticked, 30});
    ASSERT_EQ(pagesStarted, 12);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(static_cast<std::size_t>(session->Tables().SECacheClientDataSet.RecordCount()),
              rowsAtStop);
    EXPECT_EQ(window.log.size(), linesAtStop);
    EXPECT_EQ(OpenSockets(), socketsBefore);
}

std::string Html(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html>" + body + "</html>";
}

TEST_F(SessionTest, AnAddressListedByThreeEnginesIsFetchedOnceAndItsFailureLoggedOnce) {
    TempDir dir;
    ScriptedServer shared(
        {Script::Reply(Html("<head><meta name=keywords content=\"shared\"></head>"))});
    ScriptedServer failing(
        {Script::Reply("HTTP/1.0 500 Broken\r\nContent-Type: text/html\r\n\r\n")});
    const std::string list = "<li><a href=\"" + shared.Url("/p") + "\">a</a></li><li><a href=\"" +
                             failing.Url("/f") + "\">b</a></li>";
    std::vector<std::unique_ptr<ScriptedServer>> engines;
    kv::testing::PrepareDemoFolder(dir.path(), 1, "ConnectType=1\ntimeout=5\nRetryConnect=0\n");
    Session session(dir.path().string(), window);
    session.LoadFiles();
    session.OpenHttp(nullptr);
    session.SelectKeyword("red shoes", true);
    auto& se = session.Tables().SE_ClientDataSet;
    window.ticked = {"AltaVista", "Google", "Teoma"};
    for (const std::string& name : window.ticked) {
        engines.push_back(std::make_unique<ScriptedServer>(
            std::vector<Script>{Script::Reply(Html("<body><ul>" + list + "</ul></body>"))}));
        ASSERT_TRUE(se.Locate("SEName", name));
        se.Edit();
        se.SetString("StartSearchURL", engines.back()->Url("/q?@@@"));
        se.SetString("CheckHtmlCheckText", "");
        se.SetString("GetTextTotalTextRegExpr", "");
        se.SetString("GetTextRegExpr", "<li>(.*?)</li>");
        se.SetString("GetUrlRegExpr", "href=\"([^\"]+)\"");
        se.SetBoolean("GetUrlDecodeUrlPercent", false);
        se.SetBoolean("GetUrlDecodeUrlCode", false);
        se.SetBoolean("GetUrlRemoveHtml", false);
        se.SetString("NextSearchRegExpr", "");
        se.Post();
    }
    const RunSummary summary = session.Detect({"red shoes", window.ticked, 10});
    EXPECT_EQ(shared.ConnectionsAccepted(), 1u);
    EXPECT_EQ(failing.ConnectionsAccepted(), 1u);
    ASSERT_EQ(window.log.size(), 1u);
    EXPECT_EQ(window.log[0].rfind("Connection error: 500 Broken. ", 0), 0u) << window.log[0];
    EXPECT_EQ(summary.pagesStored, 3);
    EXPECT_EQ(summary.pagesFailed, 1);
    EXPECT_EQ(summary.themeSize, 1);
    EXPECT_EQ(session.RunList().size(), 6u);
}

}  // namespace
}  // namespace kv::detect
