// kelvane-cli run as a user's script would run it, against the demo search engine.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <QProcess>
#include <QThread>
#include <algorithm>
#include <filesystem>

#include "tests/support/demoprocess.h"
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
    std::filesystem::copy_file(std::string(KELVANE_TEST_BIN_DIR) + "/demo-engines/SE.cds", dir.File("SE.cds"));
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

}  // namespace
}  // namespace kv::testing
