// The engine self-test and the run's verdict lines against the demo engine of today
// (kelvane-demo-engine /modern/...), with its definitions imported from
// tests/detect/modern-engines.sql.
#include "detect/enginecheck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "data/enginefields.h"
#include "data/inifile.h"
#include "data/tables.h"
#include "detect/detectionrun.h"
#include "detect/enginesql.h"
#include "tests/support/demoprocess.h"
#include "tests/support/silentrunwindow.h"
#include "tests/support/tempdir.h"

namespace kv::detect {
namespace {

std::string ModernDefinitions(const std::string& host) {
    std::ifstream in(std::string(KELVANE_TEST_SOURCE_DIR) + "/tests/detect/modern-engines.sql");
    std::ostringstream text;
    text << in.rdbuf();
    std::string sql = text.str();
    for (std::size_t at; (at = sql.find("127.0.0.1:8765")) != std::string::npos;)
        sql.replace(at, 14, host);
    return sql;
}

using LogWindow = kv::testing::SilentRunWindow;

// A run that asks one engine; the lines it logs about that engine (its result pages may fail).
std::vector<std::string> QueryOneEngine(DetectionRun& run, const LogWindow& window,
                                        const std::string& engine, int depth) {
    run.Execute({"red shoes", {engine}, depth});
    std::vector<std::string> lines;
    for (const std::string& line : window.log)
        if (line.rfind(engine + ":", 0) == 0) lines.push_back(line);
    return lines;
}

class EngineCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data::IniFile ini(dir.File("set.ini"));
        ini.WriteString("inet", "ConnectType", "1");
        ini.WriteString("inet", "timeout", "5");
        ini.WriteString("inet", "RetryConnect", "0");
        ini.Save();
        ReadEngineSql(ModernDefinitions(demo.Host()), tables.SE_ClientDataSet);
        http = std::make_unique<http::HttpUnit>(dir.path().string());
        // The result pages of the demo engine's modern pages: a closed port on this machine.
        for (int shop = 1; shop <= 9; ++shop)
            http->HostCache().AddForward({"127.0.0.1"}, "shop" + std::to_string(shop) + ".example");
    }
    EngineDefinition Engine(const std::string& name) {
        EXPECT_TRUE(tables.SE_ClientDataSet.Locate(data::se_fields::SEName, name)) << name;
        return ReadEngineDefinition(tables.SE_ClientDataSet);
    }

    testing::DemoEngine demo;
    testing::TempDir dir;
    data::DataTables tables;
    std::unique_ptr<http::HttpUnit> http;
};

// Each verdict once, and the line a run logs for an engine that yields nothing.
TEST_F(EngineCheckTest, FiveVerdictsAndTheRunsLogLines) {
    struct Case {
        std::string engine;
        Verdict verdict;
        std::string line;  // its beginning
    } cases[] = {
        {"Modern Link", Verdict::Works, "Modern Link: works (10 results, next page found)"},
        {"Modern Blocked", Verdict::Blocked,
         "Modern Blocked: blocked (status 429; wait, or use a proxy)"},
        {"Modern Accepted", Verdict::Blocked, "Modern Accepted: blocked (status 202;"},
        {"Modern Captcha", Verdict::Blocked, "Modern Captcha: blocked (block page;"},
        {"Modern Empty", Verdict::NoResults, "Modern Empty: no results (the check text is there"},
        {"Modern Changed", Verdict::OutOfDate,
         "Modern Changed: definition out of date (blocks found but no address extracted)"},
        {"Modern Redesigned", Verdict::OutOfDate,
         "Modern Redesigned: definition out of date (check text missing)"},
        {"Modern Gone", Verdict::Unreachable, "Modern Gone: unreachable (Connection error: 10061 "},
    };
    LogWindow window;
    detect::KeywordAggregator aggregator(tables, window);
    DetectionRun run(tables, aggregator, window, *http);
    for (const Case& c : cases) {
        const EngineCheck check = CheckEngine(*http, Engine(c.engine), "red shoes");
        EXPECT_EQ(check.reading.verdict, c.verdict) << check.Line();
        EXPECT_EQ(check.Line().rfind(c.line, 0), 0u) << check.Line();

        window.log.clear();
        const std::vector<std::string> lines = QueryOneEngine(run, window, c.engine, 10);
        if (c.verdict == Verdict::Works) {
            EXPECT_TRUE(lines.empty()) << lines.front();
        } else {
            ASSERT_EQ(lines.size(), 1u) << c.engine;
            EXPECT_EQ(lines[0].rfind(c.line, 0), 0u) << lines[0];
        }
    }
}

TEST_F(EngineCheckTest, ShowListsTheUnwrappedDestinationsAndTheNextRequest) {
    const EngineCheck check = CheckEngine(*http, Engine("Modern Link"), "red shoes");
    const std::string shown = ShowFindings(check.reading);
    EXPECT_EQ(shown.rfind("http://shop8.example/red%20shoes/item1.html?ref=a&b=1\n"
                          "http://shop2.example/red%20shoes/item2.html?ref=a&b=2\n",
                          0),
              0u)
        << shown;
    EXPECT_NE(shown.find("\nnext: GET http://" + demo.Host() +
                         "/modern/link/search?q=red+shoes&s=10&vqd="),
              std::string::npos)
        << shown;
    EXPECT_EQ(ShowFindings(CheckEngine(*http, Engine("Modern Empty"), "x").reading),
              "next: none\n");
}

// Relative links (GET) and next-page forms (POST) with the per-query token carried along:
// three pages, thirty ranks, the ads dropped. Without the token the demo engine answers page
// two with its block page, which the run would log.
TEST_F(EngineCheckTest, QueriesFollowLinksAndFormsToDepthThirty) {
    for (const char* engine : {"Modern Link", "Modern Form"}) {
        LogWindow window;
        detect::KeywordAggregator aggregator(tables, window);
        DetectionRun run(tables, aggregator, window, *http);
        const std::vector<std::string> lines = QueryOneEngine(run, window, engine, 30);
        EXPECT_TRUE(lines.empty()) << lines.front();
        ASSERT_EQ(run.RunList().size(), 30u) << engine;
        EXPECT_EQ(run.RunList()[0].address,
                  "http://shop8.example/red%20shoes/item1.html?ref=a&b=1");
        EXPECT_EQ(run.RunList()[29].rank, 30);
        EXPECT_EQ(run.RunList()[29].address,
                  "http://shop3.example/red%20shoes/item30.html?ref=a&b=30");
    }
}

TEST_F(EngineCheckTest, AnEngineWithoutAnAddressIsUnreachableWithoutARequest) {
    EngineDefinition engine = Engine("Modern Link");
    engine.startUrl.clear();
    EXPECT_EQ(CheckEngine(*http, engine, "x").Line(),
              "Modern Link: unreachable (no query address in its definition)");
}

}  // namespace
}  // namespace kv::detect
