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

namespace kv::testing {
namespace {

// engines import, check, list and export, on the demo engine of today.
TEST(CliEnginesTest, ImportCheckListExport) {
    TempDir dir;
    DemoEngine engine;
    std::string sql = ReadFileBytes(std::string(KELVANE_TEST_SOURCE_DIR) + "/tests/detect/modern-engines.sql");
    for (std::size_t at; (at = sql.find("127.0.0.1:8765")) != std::string::npos;) sql.replace(at, 14, engine.Host());
    WriteFileBytes(dir.File("modern.sql"), sql);
    WriteFileBytes(dir.File("set.ini"), "[inet]\nConnectType=1\ntimeout=5\nRetryConnect=0\n");

    const Outcome imported = RunCli(Args({"engines", "import", dir.File("modern.sql").c_str()}, dir));
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out.rfind("Imported: Modern Link\nImported: Modern Form\n", 0), 0u) << imported.out;

    const Outcome works = RunCli(Args({"engines", "check", "modern link"}, dir));
    EXPECT_EQ(works.exitCode, 0) << works.err;
    EXPECT_EQ(works.out, "Modern Link: works (10 results, next page found)\n");

    const Outcome mixed = RunCli(Args({"engines", "check", "Modern Empty", "Modern Form", "--show"}, dir));
    EXPECT_EQ(mixed.exitCode, 3);
    EXPECT_EQ(mixed.out.rfind("Modern Form: works (10 results, next page found)\n"
                              "http://shop8.example/red%20shoes/item1.html?ref=a&b=1\n",
                              0),
              0u)
        << mixed.out;
    EXPECT_NE(mixed.out.find("\nnext: POST http://" + engine.Host() + "/modern/form/search q=red+shoes&s=10&vqd="),
              std::string::npos)
        << mixed.out;
    EXPECT_NE(mixed.out.find("\nModern Empty: no results (the check text is there, nothing matched)\nnext: none\n"),
              std::string::npos)
        << mixed.out;

    EXPECT_EQ(RunCli(Args({"engines", "check", "Nope"}, dir)).exitCode, 2);
    const Outcome listed = RunCli(Args({"engines", "list"}, dir));
    EXPECT_NE(listed.out.find("Modern Form\tPOST http://" + engine.Host() + "/modern/form/search\n"), std::string::npos)
        << listed.out;

    const std::string before = ReadFileBytes(dir.File("SE.cds"));
    WriteFileBytes(dir.File("bad.sql"), "CREATE TABLE SE (SEName TEXT);");
    const Outcome bad = RunCli(Args({"engines", "import", dir.File("bad.sql").c_str()}, dir));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("the field PrepareSearchURL is missing"), std::string::npos) << bad.err;
    EXPECT_EQ(ReadFileBytes(dir.File("SE.cds")), before);

    const Outcome exported = RunCli(Args({"engines", "export"}, dir));
    EXPECT_EQ(exported.exitCode, 0);
    EXPECT_EQ(exported.out.rfind("-- Kelvane engine definitions", 0), 0u);
    EXPECT_NE(exported.out.find("VALUES ('Modern Gone',"), std::string::npos);
}

}  // namespace
}  // namespace kv::testing
