// kelvane-cli run as a user's script would run it, against the demo search engine.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <QProcess>
#include <QThread>
#include <algorithm>
#include <filesystem>

#include "data/tablefile.h"
#include "data/tables.h"
#include "tests/support/demoprocess.h"
#include "tests/support/scripted_server.h"
#include "tests/support/tempdir.h"

namespace kv::testing {
namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string CliPath() { return std::string(KELVANE_TEST_BIN_DIR) + "/kelvane-cli"; }

Outcome RunCli(const QStringList& args, int timeoutMs = 60000) {
    QProcess p;
    p.start(QString::fromStdString(CliPath()), args);
    Outcome o;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = p.readAllStandardOutput().toStdString();
    o.err = p.readAllStandardError().toStdString();
    return o;
}

// A program folder whose engine definitions point at the demo engine on its port.
void PrepareFolder(const TempDir& dir, quint16 port) {
    std::filesystem::copy_file(std::string(KELVANE_TEST_BIN_DIR) + "/SE.cds", dir.File("SE.cds"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("SE.cds").c_str(), &db), SQLITE_OK);
    const std::string hostPort = "'127.0.0.1:" + std::to_string(port) + "'";
    const std::string sql = "UPDATE SE SET PrepareSearchURL = replace(PrepareSearchURL, '127.0.0.1:8765', " + hostPort +
                            "), StartSearchURL = replace(StartSearchURL, '127.0.0.1:8765', " + hostPort +
                            "), NextSearchFirstPartUrl = replace(NextSearchFirstPartUrl, '127.0.0.1:8765', " + hostPort + ")";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    WriteFileBytes(dir.File("set.ini"), "[inet]\nConnectType=1\ntimeout=5\nRetryConnect=0\n");
}

QStringList Args(std::initializer_list<const char*> items, const TempDir& dir) {
    QStringList out;
    for (const char* i : items) out << i;
    out << "--folder" << QString::fromStdString(dir.path().string());
    return out;
}

TEST(CliTest, DetectPrintsTheThemeSavesTheFilesAndThemeReadsItBackOffline) {
    TempDir dir;
    std::string detected;
    {
        DemoEngine engine({"--slow", "100"});
        PrepareFolder(dir, engine.Port());
        const Outcome o = RunCli(Args({"detect", "red shoes", "--engines", "google,MSN"}, dir));
        ASSERT_EQ(o.exitCode, 0) << o.err;
        detected = o.out;
        EXPECT_EQ(detected.rfind("Keyword\tCount\nred shoes\t", 0), 0u) << detected;
        EXPECT_NE(detected.find("\nTotal:\t"), std::string::npos);
        EXPECT_EQ(detected.back(), '\n');
        // Site 04 answers 404 in Google's first ten: one log line on stderr.
        EXPECT_NE(o.err.find("Connection error: 404 Not Found. "), std::string::npos) << o.err;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("SECache.cds")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Word.cds")));

    // The engine is gone: the theme comes from the cache.
    const Outcome theme = RunCli(Args({"theme", "red shoes", "--engines", "Google,MSN"}, dir));
    EXPECT_EQ(theme.exitCode, 0);
    EXPECT_EQ(theme.out, detected);
    const Outcome keywords = RunCli(Args({"keywords"}, dir));
    EXPECT_EQ(keywords.out, "red shoes\n");

    const Outcome pages = RunCli(Args({"theme", "red shoes", "--pages", "red shoes"}, dir));
    EXPECT_EQ(pages.out.rfind("Rank\tWeb page\tMETA Keywords\n", 0), 0u);
    EXPECT_GT(std::count(pages.out.begin(), pages.out.end(), '\n'), 5);

    const Outcome exported = RunCli(QStringList{"theme", "red shoes", "--folder", QString::fromStdString(dir.path().string()),
                                                "--format", "csv", "--output", QString::fromStdString(dir.File("t.csv"))});
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(ReadFileBytes(dir.File("t.csv")).rfind("\"Keyword\";\"Count\"\r\n\"red shoes\";", 0), 0u);
}

TEST(CliTest, UsageErrorsAndAMissingEngineFileHaveTheirExitCodes) {
    TempDir dir;
    EXPECT_EQ(RunCli({}).exitCode, 2);
    EXPECT_EQ(RunCli({"detect"}).exitCode, 2);
    EXPECT_EQ(RunCli({"detect", "x", "--depth", "15"}).exitCode, 2);
    EXPECT_EQ(RunCli({"theme", "x", "--engines", "Yahoo"}).exitCode, 2);
    const Outcome missing = RunCli(Args({"theme", "x"}, dir));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Cannot open file " + dir.File("SE.cds")), std::string::npos) << missing.err;
}

TEST(CliTest, CtrlCStopsTheRunSavesWhatWasStoredAndExits130) {
    TempDir dir;
    DemoEngine engine({"--latency", "300"});
    PrepareFolder(dir, engine.Port());
    QProcess p;
    p.start(QString::fromStdString(CliPath()), Args({"detect", "red shoes", "--depth", "30"}, dir));
    ASSERT_TRUE(p.waitForStarted());
    // Let the query phase and a few pages go by, then interrupt.
    QThread::msleep(2500);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 130);
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_EQ(err.find("Canceled by user."), std::string::npos) << err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("SECache.cds")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Word.cds")));
}

// Two runs on one program folder: the second says the folder is busy and changes nothing,
// so the first run's keyword and cache are not lost to the last save.
TEST(CliTest, ASecondRunOnABusyFolderExitsOneAndLeavesItsFiles) {
    TempDir dir;
    DemoEngine engine({"--latency", "200"});
    PrepareFolder(dir, engine.Port());
    QProcess first;
    first.start(QString::fromStdString(CliPath()),
                Args({"detect", "red shoes", "--engines", "Google"}, dir));
    ASSERT_TRUE(first.waitForStarted());
    QThread::msleep(1000);
    const Outcome second = RunCli(Args({"detect", "blue shoes", "--engines", "MSN"}, dir));
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.err.find("The program folder " + dir.path().string() +
                              " is busy: another run of Kelvane uses it"),
              std::string::npos)
        << second.err;
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    const Outcome keywords = RunCli(Args({"keywords"}, dir));
    EXPECT_EQ(keywords.out, "red shoes\n");
}

// Keywords and addresses come from the web: printed to a terminal, their control characters
// (a screen clear and a fake prompt here) are shown escaped.
TEST(CliTest, ThemePrintsControlCharactersOfPagesEscaped) {
    TempDir dir;
    std::filesystem::copy_file(std::string(KELVANE_TEST_BIN_DIR) + "/SE.cds", dir.File("SE.cds"));
    {
        data::DataTables tables;
        tables.WordClientDataSet.Append();
        tables.WordClientDataSet.SetString("word", "shoes");
        tables.WordClientDataSet.Post();
        auto& cache = tables.SECacheClientDataSet;
        cache.Append();
        cache.SetString("SENAME", "Google");
        cache.SetInteger("Rank", 1);
        cache.SetString("url",
                        "http://a.example/\x9b"
                        "2J");
        cache.SetString("Keywords", "\x1b[2J\x1b[Hsudo password:\x07, ok");
        cache.Post();
        tables.SaveFiles(dir.path().string());
    }
    const Outcome theme = RunCli(Args({"theme", "shoes", "--engines", "Google"}, dir));
    ASSERT_EQ(theme.exitCode, 0) << theme.err;
    // The keyword list loses the control characters at its ends, not those inside.
    EXPECT_NE(theme.out.find("\n[2J\\x1B[Hsudo password:\t1\n"), std::string::npos) << theme.out;
    const Outcome pages =
        RunCli(Args({"theme", "shoes", "--engines", "Google", "--pages", "ok"}, dir));
    ASSERT_EQ(pages.exitCode, 0) << pages.err;
    EXPECT_NE(pages.out.find("1\thttp://a.example/\\x9B2J\t\\x1B[2J"), std::string::npos)
        << pages.out;
    for (const std::string& out : {theme.out, pages.out})
        EXPECT_EQ(out.find_first_of("\x1b\x07\x9b"), std::string::npos);
}

// 63 MB of "<b>" (inside the body cap) once took 5.3 GB to parse, and under a memory limit the
// run died in std::terminate without saving. Now that page fails with one log line, within a
// memory limit far below that, and the run stores the other page and saves.
TEST(CliTest, AnElementFloodFailsOnePageAndTheRunSavesUnderAMemoryLimit) {
    TempDir dir;
    ScriptedServer flood({Script::Reply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + [] {
        std::string page;
        page.reserve(63u << 20);
        while (page.size() + 3 <= (63u << 20)) page += "<b>";
        return page;
    }())});
    ScriptedServer site(
        {Script::Reply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
                       "<head><meta name=keywords content=\"red shoes, flood\">")});
    ScriptedServer engine(
        {Script::Reply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<ul><li><a href=\"" +
                       flood.Url("/flood") + "\">1</a></li><li><a href=\"" + site.Url("/site") +
                       "\">2</a></li></ul>")});
    {
        data::DataTables tables;
        auto& se = tables.SE_ClientDataSet;
        se.Append();
        se.SetString("SEName", "Google");
        se.SetString("StartSearchURL", engine.Url("/search?q=@@@"));
        se.SetString("GetTextRegExpr", "<li>(.*?)</li>");
        se.SetString("GetUrlRegExpr", "href=\"([^\"]+)\"");
        se.Post();
        data::SaveTableFile(se, dir.File("SE.cds"));
    }
    WriteFileBytes(dir.File("set.ini"), "[inet]\nConnectType=1\ntimeout=20\nRetryConnect=0\n");
    QProcess p;
    p.setChildProcessModifier([] {
        const rlimit limit{1u << 30, 1u << 30};  // 1 GB of data
        setrlimit(RLIMIT_DATA, &limit);
    });
    p.start(QString::fromStdString(CliPath()),
            Args({"detect", "red shoes", "--engines", "Google"}, dir));
    ASSERT_TRUE(p.waitForFinished(120000));
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << err;
    EXPECT_EQ(p.exitCode(), 0) << err;
    EXPECT_NE(
        err.find("The page is too large to read: its element tree would take more than 256 MB\n"),
        std::string::npos)
        << err;
    EXPECT_NE(p.readAllStandardOutput().toStdString().find("\nflood\t1\n"), std::string::npos);
    EXPECT_EQ(RunCli(Args({"keywords"}, dir)).out, "red shoes\n");
}

}  // namespace
}  // namespace kv::testing
