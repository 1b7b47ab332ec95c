// Start-up and shutdown of the main window: designed defaults, the values and layouts kept in
// set.ini, the remembered keyword, the table files and the clip files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QRadioButton>
#include <QSplitter>
#include <QSysInfo>
#include <QTest>

#include "app/mainform.h"
#include "app/resultgrid.h"
#include "app/singleinstance.h"
#include "data/inifile.h"
#include "tests/app/appfixture.h"
#include "tests/support/tempdir.h"

namespace kv::app {
namespace {

using testing::CacheRow;
using testing::ProgramFolder;
using testing::RecordingDesktop;

template <typename T>
T* Find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(Startup, FirstStartShowsTheDesignedValuesAndWritesTheWindowSections) {
    ProgramFolder folder;
    folder.WriteTables({"beta", "alpha"}, {});
    RecordingDesktop desktop;
    {
        TMainForm window(folder.Path(), &desktop);
        window.show();
        EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join("\n").toStdString();
        EXPECT_TRUE(window.ReadyFlag());
        EXPECT_EQ(window.windowTitle(), "Kelvane by Ostrel");
        EXPECT_EQ(window.TickedEngineNames(),
                  (std::vector<std::string>{"AltaVista", "All The Web", "Google", "MSN", "Teoma"}));
        EXPECT_EQ(window.ScanDepth(), 10);
        EXPECT_TRUE(Find<QRadioButton>(window, "TBXRadioButton1")->isChecked());
        // The history's first keyword in alphabetical order.
        EXPECT_EQ(window.KeywordBoxText(), "alpha");
        auto* pages = Find<ResultGrid>(window, "DBGridEh2");
        EXPECT_EQ(pages->horizontalHeader()->sectionSize(0), 55);
        EXPECT_EQ(pages->horizontalHeader()->sectionSize(1), 150);
        EXPECT_EQ(Find<ResultGrid>(window, "DBGridEh1")->horizontalHeader()->sectionSize(1), 55);
        EXPECT_EQ(Find<QWidget>(window, "Panel3")->width(), 185);
        window.close();
    }
    const data::IniFile ini(folder.File("set.ini"));
    EXPECT_TRUE(ini.SectionExists("TMainForm"));
    EXPECT_TRUE(ini.SectionExists("DBGridEh1"));
    EXPECT_TRUE(ini.SectionExists("DBGridEh2"));
    EXPECT_FALSE(ini.SectionExists("inet"));
    EXPECT_EQ(ini.ReadString("TMainForm", "TBXCheckBox1_Checked", ""), "True");
    EXPECT_EQ(ini.ReadString("TMainForm", "TBXRadioButton2_Checked", ""), "False");
    EXPECT_EQ(ini.ReadString("TMainForm", "Panel3_Width", ""), "185");
    EXPECT_EQ(ini.ReadString("TMainForm", "Word", "-"), "alpha");
    EXPECT_EQ(ini.ReadString("DBGridEh2", "DBGridEh2.url", ""), "1,150,0,1,0,7,0");
    EXPECT_TRUE(ini.Find("DBGridEh1", "DBGridEh1.Keyword").has_value());
}

TEST(Startup, StoredValuesAndGridLayoutsComeBackAfterARestart) {
    ProgramFolder folder;
    folder.WriteTables({"alpha", "beta", "gamma"}, {});
    RecordingDesktop desktop;
    {
        TMainForm window(folder.Path(), &desktop);
        window.show();
        Find<QCheckBox>(window, "TBXCheckBox4")->setChecked(false);  // MSN
        Find<QRadioButton>(window, "TBXRadioButton3")->setChecked(true);
        auto* combo = Find<QComboBox>(window, "MainKeywordRxDBLookupCombo");
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        auto* pages = Find<ResultGrid>(window, "DBGridEh2");
        pages->horizontalHeader()->resizeSection(1, 201);
        pages->horizontalHeader()->moveSection(2, 0);  // META Keywords first
        auto* splitter = Find<QSplitter>(window, "SanSplitter1");
        splitter->setSizes({240, 500});
        window.close();
    }
    TMainForm window(folder.Path(), &desktop);
    window.show();
    EXPECT_TRUE(desktop.errors.isEmpty());
    EXPECT_FALSE(Find<QCheckBox>(window, "TBXCheckBox4")->isChecked());
    EXPECT_EQ(window.TickedEngineNames(),
              (std::vector<std::string>{"AltaVista", "All The Web", "Google", "Teoma"}));
    EXPECT_EQ(window.ScanDepth(), 30);
    EXPECT_EQ(window.KeywordBoxText(), "beta");
    auto* pages = Find<ResultGrid>(window, "DBGridEh2");
    EXPECT_EQ(pages->horizontalHeader()->sectionSize(1), 201);
    EXPECT_EQ(pages->horizontalHeader()->visualIndex(2), 0);
    EXPECT_EQ(Find<QWidget>(window, "Panel3")->width(), 240);
    window.close();
}

TEST(Startup, AStoredKeywordThatIsGoneLeavesTheHistoryOnItsFirstRow) {
    ProgramFolder folder;
    folder.WriteTables({"seo", "design"}, {});
    kv::testing::WriteFileBytes(folder.File("set.ini"), "[TMainForm]\nWord=vanished\n");
    RecordingDesktop desktop;
    TMainForm window(folder.Path(), &desktop);
    EXPECT_EQ(window.KeywordBoxText(), "design");
    EXPECT_EQ(window.Tables().WordClientDataSet.CurrentIndex(), 0);
    window.close();
}

TEST(Startup, AnEmptyHistoryLeavesTheBoxEmptyAndBothFilesAreCreatedAtClose) {
    ProgramFolder folder;
    RecordingDesktop desktop;
    {
        TMainForm window(folder.Path(), &desktop);
        EXPECT_EQ(window.KeywordBoxText(), "");
        EXPECT_TRUE(window.Tables().KeywordResClientDataSet.IsEmpty());
        window.close();
    }
    EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.File("Word.cds"))));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.File("SECache.cds"))));
}

TEST(Startup, AFailedEngineLoadIsReportedAndNeverOverwritesTheOtherFiles) {
    ProgramFolder folder;
    folder.WriteTables({"seo"}, {{"seo", "Google", 1, "http://a.example/", "seo, web"}});
    const std::string history = kv::testing::ReadFileBytes(folder.File("Word.cds"));
    const std::string cache = kv::testing::ReadFileBytes(folder.File("SECache.cds"));
    std::filesystem::remove(folder.File("SE.cds"));
    RecordingDesktop desktop;
    {
        TMainForm window(folder.Path(), &desktop);
        ASSERT_EQ(desktop.errors.size(), 1);
        EXPECT_TRUE(desktop.errors[0].startsWith("Cannot open file "))
            << desktop.errors[0].toStdString();
        EXPECT_FALSE(window.ReadyFlag());
        window.close();
    }
    EXPECT_EQ(kv::testing::ReadFileBytes(folder.File("Word.cds")), history);
    EXPECT_EQ(kv::testing::ReadFileBytes(folder.File("SECache.cds")), cache);
    // The window state is still written.
    EXPECT_TRUE(data::IniFile(folder.File("set.ini")).SectionExists("TMainForm"));
}

TEST(Startup, TheClipFilesLiveInTheTemporaryFolderUntilTheWindowCloses) {
    ProgramFolder folder;
    RecordingDesktop desktop;
    TMainForm window(folder.Path(), &desktop);
    const auto paths = window.ClipFilePaths();
    for (const QString& path : paths) {
        ASSERT_FALSE(path.isEmpty());
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
        // A braced GUID without extension.
        EXPECT_TRUE(path.endsWith('}')) << path.toStdString();
        EXPECT_TRUE(path.section('/', -1).startsWith('{'));
    }
    window.close();
    for (const QString& path : paths) EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
}

TEST(Startup, ASecondInstanceEndsAtOnceWithoutAWindowAfterCallingTheFirstToTheFront) {
    kv::testing::TempDir temp;
    qputenv("TMPDIR", temp.path().string().c_str());
    SingleInstance first;
    ASSERT_TRUE(first.TryLock());
    int activations = 0;
    first.Listen([&activations] { ++activations; });
    ProgramFolder folder;
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", QString::fromStdString(temp.path().string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    second.start(QString(KELVANE_TEST_BIN_DIR) + "/kelvane",
                 {"--folder", QString::fromStdString(folder.Path())});
    QElapsedTimer clock;
    clock.start();
    while (!second.waitForFinished(10) && clock.elapsed() < 20000)
        QCoreApplication::processEvents();
    for (int i = 0; i < 50 && activations == 0; ++i) QTest::qWait(10);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    // It ended before creating its window, so it wrote nothing into the program folder.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File("set.ini"))));
    qunsetenv("TMPDIR");
}

TEST(Startup, HelpPrintsTheUsageAndNoDisplayIsOneLineInsteadOfACrash) {
    const QString program = QString(KELVANE_TEST_BIN_DIR) + "/kelvane";
    QProcess help;
    help.start(program, {"--help"});
    ASSERT_TRUE(help.waitForFinished(20000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().startsWith("Usage: kelvane [--folder DIR]"));
    QProcess version;  // the version of the about box, without a display
    version.start(program, {"--version"});
    ASSERT_TRUE(version.waitForFinished(20000));
    EXPECT_EQ(version.exitCode(), 0);
    EXPECT_EQ(version.readAllStandardOutput().toStdString(),
              std::string("kelvane ") + KELVANE_VERSION + "\n");

    QProcess headless;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    headless.setProcessEnvironment(env);
    headless.start(program, {});
    ASSERT_TRUE(headless.waitForFinished(20000));
    EXPECT_EQ(headless.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(headless.exitCode(), 1);
    EXPECT_EQ(headless.readAllStandardError(),
              "kelvane: no display (DISPLAY and WAYLAND_DISPLAY are not set); kelvane-cli works "
              "without one\n");
}

TEST(Startup, TheInstanceLockIsPerUserAndADeadOwnersLockIsTakenOver) {
    kv::testing::TempDir temp;
    qputenv("TMPDIR", temp.path().string().c_str());
    // Another user's instance has a lock of its own name, so it never blocks this one.
    EXPECT_TRUE(SingleInstance::LockPath().endsWith("-" + QString::number(getuid()) + ".lock"))
        << SingleInstance::LockPath().toStdString();
    // A crashed instance left its lock behind: a process id that is no longer running.
    kv::testing::WriteFileBytes(
        SingleInstance::LockPath().toStdString(),
        "2147483646\nkelvane\n" + QSysInfo::machineHostName().toStdString() + "\n");
    SingleInstance next;
    EXPECT_TRUE(next.TryLock());
    qunsetenv("TMPDIR");
}

}  // namespace
}  // namespace kv::app
