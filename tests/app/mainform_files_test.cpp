// The program folder's files at start-up (a folder that takes no files, a damaged history)
// and the links the desktop cannot open.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTextBrowser>
#include <filesystem>

#include "app/mainform.h"
#include "app/manualviewer.h"
#include "data/tables.h"
#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

using testing::ProgramFolder;
using testing::RecordingDesktop;

QString StatusText(TMainForm& window) {
    return window.findChild<QLabel*>("StatusText")->text();
}

std::vector<std::filesystem::path> SetAsideFiles(const ProgramFolder& folder) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        if (entry.path().filename().string().starts_with("Word.cds.damaged-"))
            found.push_back(entry.path());
    return found;
}

TEST(ProgramFolderFiles, AFolderThatTakesNoFilesIsReportedOnceAndNothingIsSaved) {
    // Not even root creates files in /proc.
    for (int choice : {0, 1}) {
        RecordingDesktop desktop;
        desktop.choiceIndex = choice;
        {
            TMainForm window("/proc", &desktop);
            ASSERT_EQ(desktop.choices.size(), 1);
            EXPECT_TRUE(
                desktop.choices[0].startsWith("Program folder is read-only|The program "
                                              "folder /proc is not writable"));
            EXPECT_TRUE(desktop.choices[0].endsWith("|Continue read-only/Quit"));
            EXPECT_EQ(window.QuitRequested(), choice == 1);
            EXPECT_EQ(window.ReadOnly(), choice == 0);
            if (choice == 0) {
                EXPECT_EQ(StatusText(window), "Read-only: nothing is saved in /proc");
            }
            window.close();
        }
        // No "Cannot create file" at close: only the missing engine file of a read-only start.
        for (const QString& error : desktop.errors)
            EXPECT_FALSE(error.contains("Cannot create")) << error.toStdString();
    }
}

TEST(ProgramFolderFiles, ADamagedHistoryIsSetAsideOnRequestAndANewOneStarted) {
    ProgramFolder folder;
    folder.WriteTables({}, {});
    kv::testing::WriteFileBytes(folder.File("Word.cds"), "not a table file");
    RecordingDesktop desktop;
    desktop.choiceIndex = 0;  // set it aside
    {
        TMainForm window(folder.Path(), &desktop);
        ASSERT_EQ(desktop.choices.size(), 1);
        EXPECT_TRUE(desktop.choices[0].startsWith(QString::fromStdString(
            "Damaged file|The file " + folder.File("Word.cds") + " cannot be read:\nFile ")));
        EXPECT_TRUE(desktop.choices[0].endsWith("|Set it aside and start a new one/Quit"));
        EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join("\n").toStdString();
        const auto kept = SetAsideFiles(folder);
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(kv::testing::ReadFileBytes(kept[0].string()), "not a table file");
        EXPECT_EQ(StatusText(window).toStdString(),
                  "The damaged file was kept as " + kept[0].string());
        // The window is whole: a keyword can be added and is kept.
        data::Table& history = window.Tables().WordClientDataSet;
        history.Append();
        history.SetString("word", "fresh start");
        history.Post();
        window.close();
    }
    data::DataTables onDisk;
    onDisk.LoadFiles(folder.Path());
    EXPECT_TRUE(onDisk.WordClientDataSet.Locate("word", "fresh start"));
}

TEST(ProgramFolderFiles, QuittingAtADamagedHistoryLeavesEveryFileAsItWas) {
    ProgramFolder folder;
    folder.WriteTables({}, {});
    kv::testing::WriteFileBytes(folder.File("Word.cds"), "not a table file");
    const std::string cache = kv::testing::ReadFileBytes(folder.File("SECache.cds"));
    RecordingDesktop desktop;
    desktop.choiceIndex = 1;  // quit
    {
        TMainForm window(folder.Path(), &desktop);
        EXPECT_TRUE(window.QuitRequested());
        window.close();
    }
    EXPECT_EQ(kv::testing::ReadFileBytes(folder.File("Word.cds")), "not a table file");
    EXPECT_EQ(kv::testing::ReadFileBytes(folder.File("SECache.cds")), cache);
    EXPECT_TRUE(SetAsideFiles(folder).empty());
    EXPECT_FALSE(std::filesystem::exists(folder.File("set.ini")));
}

TEST(ProgramFolderFiles, WithoutADesktopTheManualOpensInItsOwnViewerAndLinksAreNamed) {
    ProgramFolder folder;
    std::filesystem::create_directories(folder.File("manual"));
    kv::testing::WriteFileBytes(folder.File("manual/index.html"),
                                "<html><body><h1>Kelvane manual</h1></body></html>");
    RecordingDesktop desktop;
    desktop.openSucceeds = false;
    TMainForm window(folder.Path(), &desktop);
    window.show();
    QMenu* help = window.findChild<QMenu*>("HelpMenu");
    for (QAction* action : help->actions()) {
        if (action->text() == "&Help topics") action->trigger();
        if (action->text() == "&Get support") action->trigger();
    }
    auto* viewer = window.findChild<ManualViewer*>("ManualViewer");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Kelvane manual"));
    EXPECT_EQ(StatusText(window),
              "No mail program opens mail links here: write to support@ostrel.example");
    window.close();
}

}  // namespace
}  // namespace kv::app
