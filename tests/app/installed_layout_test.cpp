// The window on an installed layout: settings, the user's data and the shipped files each in
// their own folder.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <filesystem>

#include "app/mainform.h"
#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

namespace fs = std::filesystem;
using testing::ProgramFolder;
using testing::RecordingDesktop;

TEST(InstalledLayout, SettingsDataAndShippedFilesEachLiveInTheirOwnFolder) {
    ProgramFolder shipped;  // SE.cds and ua.lst, as share/kelvane holds them
    ProgramFolder data;
    data.WriteTables({"seo"}, {{"seo", "Google", 1, "http://a.example/", "seo, web"}});
    fs::remove(data.File("SE.cds"));
    fs::remove(data.File("ua.lst"));
    kv::testing::TempDir home;
    detect::ProgramFolders folders;
    folders.settings = home.File("config");
    folders.data = data.Path();
    folders.shipped = shipped.Path();
    folders.runtime = home.File("run");
    folders.exports = data.Path();
    folders.xdg = true;
    detect::CreateUserFolders(folders);

    RecordingDesktop desktop;
    {
        TMainForm window(folders, &desktop);
        window.show();
        EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join("\n").toStdString();
        EXPECT_FALSE(window.Tables().SE_ClientDataSet.IsEmpty());
        EXPECT_EQ(window.KeywordBoxText(), "seo");

        window.Export1ActionExecute();  // cancelled: only the proposal matters
        ASSERT_EQ(desktop.proposedNames.size(), 1);
        EXPECT_EQ(desktop.proposedNames[0].toStdString(), data.File("seo"));

        for (QAction* menu : window.menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (item->text() == "&Help topics") item->trigger();
        ASSERT_EQ(desktop.opened.size(), 1);
        EXPECT_EQ(desktop.opened[0].toLocalFile().toStdString(), shipped.File("manual/index.html"));
        window.close();
    }
    EXPECT_TRUE(fs::exists(folders.settings + "/set.ini"));
    EXPECT_TRUE(fs::exists(data.File("Word.cds")));
    EXPECT_TRUE(fs::exists(data.File("SECache.cds")));
    for (const std::string& stray : {data.File("set.ini"), shipped.File("set.ini"),
                                     shipped.File("Word.cds"), shipped.File("SECache.cds")})
        EXPECT_FALSE(fs::exists(stray)) << stray;
}

}  // namespace
}  // namespace kv::app
