// Detection runs against a scripted server standing in for the engines and the result sites.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "data/inifile.h"
#include "detect/session.h"
#include "tests/support/scripted_server.h"
#include "tests/support/silentrunwindow.h"
#include "tests/support/tempdir.h"
#include "text/textcompare.h"

namespace kv::detect {
namespace {

using kv::testing::Script;
using kv::testing::ScriptedServer;
using kv::testing::TempDir;

class RecordingWindow : public kv::testing::SilentRunWindow {
  public:
    RecordingWindow() { ticked = {"Google"}; }
    void SetCountFooter(const std::string& text) override { footer = text; }
    void ShowNoEngineMessage() override { ++noEngineMessages; }
    void SetRunControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    void BindCommandToStop(bool stop) override { boundToStop = stop; }
    void SetStatusText(const std::string& text) override {
        statuses.push_back(text);
        SilentRunWindow::SetStatusText(text);
    }
    void SetGaugePosition(int percent) override { gauge.push_back(percent); }

    int depth = 10;
    std::string keyword = "red shoes";
    std::string footer;
    std::vector<std::string> statuses;
    std::vector<int> gauge;
    int noEngineMessages = 0;
    bool controlsEnabled = true;
    bool boundToStop = false;
};

std::string Html(const std::string& body, const std::string& contentType = "text/html") {
    return "HTTP/1.0 200 OK\r\nContent-Type: " + contentType + "\r\n\r\n" + body;
}

// A result page with the given result paths and an optional next link.
std::string ResultPage(const ScriptedServer& s, const std::vector<std::string>& paths,
                       const std::string& next = "") {
    std::string body = "<html><body><ul>";
    for (const auto& p : paths)
        body +=
            p.empty() ? "<li>no address here</li>" : "<li><a href=\"" + s.Url(p) + "\">r</a></li>";
    body += "</ul>";
    if (!next.empty()) body += "<a class=next href=\"" + next + "\">Next</a>";
    return Html(body + "</body></html>");
}

std::string KeywordPage(const std::string& keywords) {
    return Html("<html><head><meta name=keywords content=\"" + keywords +
                "\"></head><body>x</body></html>");
}

std::vector<std::string> Paths(int from, int count) {
    std::vector<std::string> out;
    for (int i = from; i < from + count; ++i) out.push_back("/site/" + std::to_string(i));
    return out;
}

class DetectionRunTest : public ::testing::Test {
  public:
    void SetUp() override {
        text::SetCollationLocale("en_US");
        data::IniFile ini(dir.File("set.ini"));
        ini.WriteString("inet", "ConnectType", "1");
        ini.WriteString("inet", "timeout", "2");
        ini.WriteString("inet", "RetryConnect", "0");
        // The scripted servers serve their scripts in the order connections arrive.
        ini.WriteString("inet", "ParallelFetches", parallel);
        ini.Save();
        tables.WordClientDataSet.Append();
        tables.WordClientDataSet.SetString("word", "red shoes");
        tables.WordClientDataSet.Post();
    }
    void AddEngine(const std::string& name, const std::string& startUrl,
                   const std::string& check = "") {
        auto& se = tables.SE_ClientDataSet;
        se.Append();
        se.SetString("SEName", name);
        se.SetString("StartSearchURL", startUrl);
        se.SetString("PrepareSearchURL", "http://referrer.example/");
        se.SetString("CheckHtmlCheckText", check);
        se.SetString("GetTextRegExpr", "<li>(.*?)</li>");
        se.SetString("GetUrlRegExpr", "href=\"([^\"]+)\"");
        se.SetString("NextSearchRegExpr", "class=next href=\"([^\"]+)\"");
        se.SetInteger("NextSearchCombineUrlType", 0);
        se.Post();
    }
    void CacheRow(const std::string& engine, const std::string& url, const std::string& keywords) {
        auto& cache = tables.SECacheClientDataSet;
        cache.Append();
        cache.SetString("SENAME", engine);
        cache.SetInteger("Rank", 1);
        cache.SetString("url", url);
        cache.SetString("Keywords", keywords);
        cache.Post();
    }
    std::map<std::string, int> Theme() {
        std::map<std::string, int> out;
        auto& res = tables.KeywordResClientDataSet;
        for (int i = 0; i < res.RecordCount(); ++i)
            out[res.CellText(i, 0)] = std::stoi(res.CellText(i, 1));
        return out;
    }
    std::vector<std::string> CachedUrls(const std::string& engine) {
        std::vector<std::string> out;
        auto& cache = tables.SECacheClientDataSet;
        for (int i = 0; i < cache.RecordCount(); ++i)
            if (cache.CellText(i, 1) == engine) out.push_back(cache.CellText(i, 3));
        return out;
    }
    DetectionRunTest& Run() {
        session.OpenHttp(nullptr);
        run = &session;
        return *this;
    }
    void FindActionExecute() { session.Detect({window.keyword, window.ticked, window.depth}); }

    std::string parallel = "1";
    TempDir dir;
    RecordingWindow window;
    Session session{dir.path().string(), window};
    data::DataTables& tables = session.Tables();
    Session* run = nullptr;
};

TEST_F(DetectionRunTest, NoEngineTickedShowsTheMessageAndChangesNothing) {
    window.ticked.clear();
    Run().FindActionExecute();
    EXPECT_EQ(window.noEngineMessages, 1);
    EXPECT_FALSE(window.boundToStop);
    EXPECT_TRUE(window.statuses.empty());
}

std::vector<Script> KeywordSites(int count, const std::string& keywords = "red shoes") {
    std::vector<Script> out;
    for (int i = 1; i <= count; ++i)
        out.push_back(Script::Reply(KeywordPage(keywords + ", site " + std::to_string(i))));
    return out;
}

TEST_F(DetectionRunTest, DepthTwentyReadsTwoResultPagesAndStoresEveryPage) {
    ScriptedServer sites(KeywordSites(20));
    ScriptedServer engine({Script::Reply(ResultPage(sites, Paths(1, 10), "/page2")),
                           Script::Reply(ResultPage(sites, Paths(11, 10)))});
    AddEngine("Google", engine.Url("/search?q=@@@"));
    window.depth = 20;
    Run().FindActionExecute();

    ASSERT_EQ(run->RunList().size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(run->RunList()[static_cast<std::size_t>(i)].rank, i + 1);
        EXPECT_EQ(run->RunList()[static_cast<std::size_t>(i)].address,
                  sites.Url("/site/" + std::to_string(i + 1)));
    }
    EXPECT_EQ(engine.Request(0).substr(0, 37), "GET /search?q=red+shoes HTTP/1.1\r\nAcc");
    EXPECT_NE(engine.Request(0).find("Referer: http://referrer.example/\r\n"), std::string::npos);
    // The second page is asked with the first page's address as its referrer.
    EXPECT_NE(engine.Request(1).find("Referer: " + engine.Url("/search?q=red+shoes") + "\r\n"),
              std::string::npos);
    EXPECT_TRUE(window.log.empty()) << window.log.front();
    EXPECT_EQ(Theme()["red shoes"], 20);
    EXPECT_EQ(Theme().size(), 21u);
    EXPECT_EQ(window.footer, "21");
    EXPECT_EQ(window.gauge.front(), 0);
    EXPECT_EQ(window.gauge.back(), 100);
    EXPECT_TRUE(run->StopFlag());
    EXPECT_FALSE(window.boundToStop);
    EXPECT_TRUE(window.controlsEnabled);
}

TEST_F(DetectionRunTest, FifteenEntriesAtDepthTenNeedOneRequest) {
    ScriptedServer sites(KeywordSites(10));
    ScriptedServer engine({Script::Reply(ResultPage(sites, Paths(1, 15), "/page2")),
                           Script::Reply(ResultPage(sites, Paths(16, 10)))});
    AddEngine("Google", engine.Url("/search?q=@@@"));
    Run().FindActionExecute();
    EXPECT_EQ(run->RunList().size(), 10u);
    EXPECT_EQ(run->RunList().back().rank, 10);
    EXPECT_EQ(engine.ConnectionsAccepted(), 1u);
    EXPECT_EQ(sites.ConnectionsAccepted(), 10u);
}

TEST_F(DetectionRunTest, EmptyAddressesTakeRanksAndDuplicatesAreFetchedOnce) {
    ScriptedServer sites({Script::Reply(KeywordPage("red shoes, first")),
                          Script::Reply(KeywordPage("red shoes, second"))});
    ScriptedServer engine(
        {Script::Reply(ResultPage(sites, {"/site/1", "", "/site/1", "/site/2"}))});
    AddEngine("Google", engine.Url("/search?q=@@@"));
    Run().FindActionExecute();
    ASSERT_EQ(run->RunList().size(), 4u);
    EXPECT_EQ(run->RunList()[1].address, "");
    EXPECT_EQ(run->RunList()[1].rank, 2);
    EXPECT_EQ(run->RunList()[3].rank, 4);
    // The empty address is not fetched and logs nothing; the duplicate is fetched once and its
    // page stored for both ranks.
    EXPECT_TRUE(window.log.empty());
    EXPECT_EQ(sites.ConnectionsAccepted(), 2u);
    EXPECT_EQ(CachedUrls("Google").size(), 3u);
    EXPECT_EQ(Theme()["red shoes"], 2);
    EXPECT_EQ(Theme()["first"], 1);
    EXPECT_EQ(Theme()["second"], 1);
}

TEST_F(DetectionRunTest, AFailureOnPageTwoKeepsTheFirstTen) {
    ScriptedServer sites(KeywordSites(10));
    ScriptedServer engine(
        {Script::Reply(ResultPage(sites, Paths(1, 10), "/page2")),
         Script::Reply("HTTP/1.0 500 Internal Server Error\r\nContent-Type: text/html\r\n\r\n")});
    AddEngine("Google", engine.Url("/search?q=@@@"));
    window.depth = 30;
    Run().FindActionExecute();
    EXPECT_EQ(run->RunList().size(), 10u);
    ASSERT_EQ(window.log.size(), 1u);
    EXPECT_EQ(window.log[0].rfind("Connection error: 500 Internal Server Error. Proxy: ", 0), 0u)
        << window.log[0];
    EXPECT_EQ(CachedUrls("Google").size(), 10u);
}

TEST_F(DetectionRunTest, AMissingCheckTextIsLoggedAndGivesNoEntries) {
    ScriptedServer sites({});
    ScriptedServer engine({Script::Reply(ResultPage(sites, Paths(1, 3)))});
    AddEngine("Google", engine.Url("/search?q=@@@"), "results found");
    Run().FindActionExecute();
    EXPECT_TRUE(run->RunList().empty());
    ASSERT_EQ(window.log.size(), 1u);
    EXPECT_EQ(window.log[0], "Google: definition out of date (check text missing)");
}

TEST_F(DetectionRunTest, TheCacheIsRenewedPerEngineOnlyAtItsFirstEntry) {
    CacheRow("Google", "http://old.google/", "old google");
    CacheRow("MSN", "http://old.msn/", "old msn");
    CacheRow("Teoma", "http://old.teoma/", "old teoma");
    ScriptedServer sites(KeywordSites(1));
    ScriptedServer engine(
        {Script::Reply(ResultPage(sites, Paths(1, 1))), Script::Reply(ResultPage(sites, {}))});
    AddEngine("Google", engine.Url("/g?q=@@@"));
    AddEngine("MSN", engine.Url("/m?q=@@@"));
    window.ticked = {"Google", "MSN"};
    Run().FindActionExecute();
    EXPECT_EQ(CachedUrls("Google"), std::vector<std::string>{sites.Url("/site/1")});
    EXPECT_EQ(CachedUrls("MSN"), std::vector<std::string>{"http://old.msn/"});  // no results: kept
    EXPECT_EQ(CachedUrls("Teoma"),
              std::vector<std::string>{"http://old.teoma/"});  // unticked: untouched
    EXPECT_EQ(Theme().count("old google"), 0u);
    EXPECT_EQ(Theme()["old msn"], 1);
    EXPECT_EQ(Theme().count("old teoma"), 0u);
}

TEST_F(DetectionRunTest, ANonHtmlAnswerStoresNothingAndLogsNothing) {
    ScriptedServer sites(
        {Script::Reply(Html("\x89PNG....", "image/png")), Script::Reply(KeywordPage("red shoes"))});
    ScriptedServer engine({Script::Reply(ResultPage(sites, Paths(1, 2)))});
    AddEngine("Google", engine.Url("/search?q=@@@"));
    Run().FindActionExecute();
    EXPECT_TRUE(window.log.empty());
    EXPECT_EQ(CachedUrls("Google"), std::vector<std::string>{sites.Url("/site/2")});
}

TEST_F(DetectionRunTest, StopDuringThePagePhaseLogsNothingAndSkipsTheRest) {
    CacheRow("Google", "http://old.google/", "old google");
    ScriptedServer sites({Script::Reply(KeywordPage("one")), Script().ReadRequest().Hold(),
                          Script::Reply(KeywordPage("three"))});
    ScriptedServer engine({Script::Reply(ResultPage(sites, Paths(1, 3)))});
    AddEngine("Google", engine.Url("/search?q=@@@"));
    window.onStatus = [&](const std::string& status) {
        if (status == "Querying '" + sites.Url("/site/2") + "'...") run->Stop();
    };
    Run().FindActionExecute();
    EXPECT_TRUE(window.log.empty());
    EXPECT_EQ(CachedUrls("Google"), std::vector<std::string>{sites.Url("/site/1")});
    EXPECT_EQ(window.gauge, (std::vector<int>{0, 33, 66}));
}

TEST_F(DetectionRunTest, StopDuringTheQueryPhaseAsksNoFurtherEngineAndFetchesNoPage) {
    CacheRow("Google", "http://old.google/", "old google");
    CacheRow("MSN", "http://old.msn/", "old msn");
    CacheRow("Teoma", "http://old.teoma/", "old teoma");
    ScriptedServer sites({});
    ScriptedServer engine(
        {Script::Reply(ResultPage(sites, Paths(1, 2))), Script().ReadRequest().Hold()});
    AddEngine("Google", engine.Url("/g?q=@@@"));
    AddEngine("MSN", engine.Url("/m?q=@@@"));
    AddEngine("Teoma", engine.Url("/t?q=@@@"));
    window.ticked = {"Google", "MSN", "Teoma"};
    window.onStatus = [&](const std::string& status) {
        if (status == "Querying 'MSN' with keyword 'red shoes'...") run->Stop();
    };
    Run().FindActionExecute();
    EXPECT_TRUE(window.log.empty());
    EXPECT_EQ(run->RunList().size(), 2u);
    EXPECT_LE(engine.ConnectionsAccepted(), 2u);
    EXPECT_EQ(sites.ConnectionsAccepted(), 0u);
    EXPECT_EQ(CachedUrls("Google"), std::vector<std::string>{"http://old.google/"});
    EXPECT_EQ(CachedUrls("MSN"), std::vector<std::string>{"http://old.msn/"});
}

TEST_F(DetectionRunTest, AMissingEngineDefinitionIsLoggedAndTheRunGoesOn) {
    ScriptedServer sites(KeywordSites(1));
    ScriptedServer engine({Script::Reply(ResultPage(sites, Paths(1, 1)))});
    AddEngine("MSN", engine.Url("/m?q=@@@"));
    window.ticked = {"Google", "MSN"};
    Run().FindActionExecute();
    ASSERT_EQ(window.log.size(), 1u);
    EXPECT_EQ(window.log[0], "No definition of the search engine 'Google' in SE.cds");
    EXPECT_EQ(CachedUrls("MSN").size(), 1u);
}

}  // namespace
}  // namespace kv::detect
