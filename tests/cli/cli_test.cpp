// kelvane-cli run as a user's script would run it, against the demo search engine.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <sqlite3.h>

#include <QProcess>
#include <QThread>
#include <algorithm>
#include <filesystem>

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
    EXPECT_EQ(ReadFileBytes(dir.File("t.csv")).rfind("\xEF\xBB\xBF\"Keyword\";\"Count\"\r\n\"red shoes\";", 0), 0u);
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

TEST(CliTest, HelpGoesToStdoutAndAUsageErrorIsOneLinePointingToIt) {
    for (const char* help : {"--help", "-h", "help"}) {
        const Outcome o = RunCli({help});
        EXPECT_EQ(o.exitCode, 0) << help;
        EXPECT_TRUE(o.err.empty()) << o.err;
        for (const char* part : {"Usage:", "--engines", "--depth", "--folder", "--pages", "--format", "--output",
                                 "KELVANE_HOME", "set.ini", "Exit codes:", "  4 "})
            EXPECT_NE(o.out.find(part), std::string::npos) << help << ": " << part;
    }
    EXPECT_EQ(RunCli({"detect", "x", "--help"}).exitCode, 0);
    const Outcome wrong = RunCli({"detect", "x", "--depth", "15"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.out.empty());
    EXPECT_EQ(wrong.err, "kelvane-cli: the depth is 10, 20 or 30\nTry 'kelvane-cli --help' for more information.\n");
}

TEST(CliTest, KeywordsAreTrimmedAndEmptyMultiLineOrTooLongOnesAreUsageErrors) {
    const std::pair<std::string, std::string> refused[] = {
        {"", "Enter a keyword: it is empty"},
        {"  ", "Enter a keyword: it is empty"},
        {"red\nshoes", "A keyword is one line"},
        {std::string(101, 'k'), "A keyword may be at most 100 characters long"},
    };
    for (const auto& [keyword, message] : refused) {
        const Outcome o = RunCli({"theme", QString::fromStdString(keyword)});
        EXPECT_EQ(o.exitCode, 2) << keyword;
        EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    }
}

TEST(CliTest, EveryEngineFailingExitsFourAfterPrintingTheTheme) {
    TempDir dir;
    PrepareFolder(dir, 1);  // nobody listens on port 1
    const Outcome o = RunCli(Args({"detect", "red shoes", "--engines", "Google,MSN"}, dir));
    EXPECT_EQ(o.exitCode, 4) << o.err;
    EXPECT_EQ(o.out, "Keyword\tCount\nTotal:\t0\n");
    EXPECT_NE(o.err.find("Not a single page was stored"), std::string::npos) << o.err;
}

TEST(CliTest, APlusInTheKeywordReachesTheEngineAsAPlus) {
    TempDir dir;
    ScriptedServer server({Script::Reply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html></html>")});
    PrepareFolder(dir, server.Port());
    const Outcome o = RunCli(Args({"detect", "C++ tips", "--engines", "Google"}, dir));
    EXPECT_EQ(o.exitCode, 4) << o.err;
    const std::string request = server.Request(0);
    EXPECT_NE(request.find("C%2B%2B+tips"), std::string::npos) << request;
}

TEST(CliTest, AReadOnlyFolderStopsBeforeAnyRequest) {
    TempDir dir;
    DemoEngine engine;
    PrepareFolder(dir, engine.Port());
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                                 std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    // Root writes anywhere: the program runs as an ordinary user, as users run it.
    QStringList command = Args({"detect", "red shoes"}, dir);
    QString program = QString::fromStdString(CliPath());
    if (geteuid() == 0) {
        command.prepend(program);
        command = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + command;
        program = "setpriv";
    }
    QProcess p;
    p.start(program, command);
    ASSERT_TRUE(p.waitForFinished(20000));
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_EQ(p.exitCode(), 1) << err;
    EXPECT_EQ(err, "kelvane-cli: The program folder " + dir.path().string() +
                       " is not writable: Word.cds and SECache.cds could not be saved. Name a writable one with "
                       "--folder or KELVANE_HOME\n");
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("SECache.cds")));
}

TEST(CliTest, ADamagedHistoryIsNamedWithHowToSetItAsideAndKeywordsNeedNoEngineFile) {
    TempDir dir;
    WriteFileBytes(dir.File("Word.cds"), "not a table");
    const Outcome damaged = RunCli(Args({"keywords"}, dir));
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_NE(damaged.err.find("move the file aside, for instance: mv '" + dir.File("Word.cds") + "' '" +
                               dir.File("Word.cds") + ".damaged'"),
              std::string::npos)
        << damaged.err;
    EXPECT_EQ(ReadFileBytes(dir.File("Word.cds")), "not a table");

    std::filesystem::remove(dir.File("Word.cds"));
    const Outcome empty = RunCli(Args({"keywords"}, dir));  // no SE.cds, no Word.cds
    EXPECT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_TRUE(empty.out.empty());
}

TEST(CliTest, AWorkbookIsNotWrittenToATerminal) {
    TempDir dir;
    // script(1) gives the program a terminal as its stdout.
    const QString cli = QString::fromStdString(CliPath());
    QProcess p;
    p.start("script", {"-qec", cli + " theme x --format xls --folder " + QString::fromStdString(dir.path().string()),
                       "/dev/null"});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_NE(p.readAllStandardOutput().toStdString().find("the xls format is not written to a terminal"),
              std::string::npos);
}

TEST(CliTest, SigtermAndSighupStopTheRunSaveItAndPrintTheTheme) {
    for (const auto& [signal, code] : {std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
        TempDir dir;
        // Five queries, then fifty pages of 100 ms each: the signal comes in the page phase.
        DemoEngine engine({"--latency", "100"});
        PrepareFolder(dir, engine.Port());
        QProcess p;
        p.start(QString::fromStdString(CliPath()), Args({"detect", "red shoes"}, dir));
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(2500);
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), code) << signal;
        const std::string out = p.readAllStandardOutput().toStdString();
        EXPECT_EQ(out.rfind("Keyword\tCount\n", 0), 0u) << out;
        // The rows stored before the signal are in the saved cache.
        const Outcome theme = RunCli(Args({"theme", "red shoes"}, dir));
        EXPECT_EQ(theme.out, out);
        EXPECT_NE(theme.out, "Keyword\tCount\nTotal:\t0\n");
    }
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
