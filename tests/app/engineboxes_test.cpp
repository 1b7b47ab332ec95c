// The engine boxes of the main window, built from engine definition tables of 3 and 9 rows,
// with their ticks restored by engine name and by the designed keys of an old set.ini; and
// the window built from the live definitions.
#include "app/engineboxes.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/enginecheckform.h"
#include "app/mainform.h"
#include "data/inifile.h"
#include "data/tables.h"
#include "detect/enginesql.h"
#include "tests/app/appfixture.h"
#include "tests/support/tempdir.h"
#include "tools/demoengine/demoserver.h"

namespace kv::app {
namespace {

std::vector<EngineBoxSpec> Engines(int count) {
    std::vector<EngineBoxSpec> engines;
    for (int i = 1; i <= count; ++i)
        engines.push_back({"Engine " + std::to_string(i), i != 3});  // 3 has no address
    return engines;
}

std::vector<std::string> Captions(const EngineBoxes& boxes) {
    std::vector<std::string> out;
    for (const QCheckBox* box : boxes.Boxes()) out.push_back(box->text().toStdString());
    return out;
}

TEST(EngineBoxesTest, OneBoxPerRowInOrderWrappingWithoutOverlap) {
    for (int count : {3, 9}) {
        EngineBoxes boxes;
        boxes.Build(Engines(count));
        boxes.resize(boxes.sizeHint());
        boxes.show();
        ASSERT_EQ(boxes.Boxes().size(), static_cast<std::size_t>(count));
        EXPECT_EQ(Captions(boxes).front(), "Engine 1");
        EXPECT_EQ(Captions(boxes).back(), "Engine " + std::to_string(count));
        EXPECT_EQ(boxes.Boxes()[0]->objectName(), "TBXCheckBox2");
        EXPECT_EQ(boxes.Boxes()[1]->objectName(), "TBXCheckBox1");
        // Unticked without an address, ticked otherwise.
        EXPECT_FALSE(boxes.Boxes()[2]->isChecked());
        EXPECT_TRUE(boxes.Boxes()[0]->isChecked());
        const auto& all = boxes.Boxes();
        for (std::size_t i = 0; i < all.size(); ++i)
            for (std::size_t j = i + 1; j < all.size(); ++j)
                EXPECT_FALSE(all[i]->geometry().intersects(all[j]->geometry())) << i << " " << j;
        const int lines = (count + EngineBoxes::kBoxesPerLine - 1) / EngineBoxes::kBoxesPerLine;
        EXPECT_EQ(all.back()->y() > all.front()->y(), lines > 1);
    }
}

TEST(EngineBoxesTest, TicksComeBackByNameAndFromTheDesignedKeys) {
    kv::testing::TempDir dir;
    const std::string path = dir.File("set.ini");
    {
        // An old set.ini: designed keys only (row 1 is TBXCheckBox2, row 2 TBXCheckBox1).
        data::IniFile ini(path);
        ini.WriteBool("TMainForm", "TBXCheckBox2_Checked", false);
        ini.WriteBool("TMainForm", "TBXCheckBox1_Checked", true);
        ini.WriteBool("TMainForm", "TBXCheckBox3_Checked", true);
        ini.Save();
    }
    EngineBoxes boxes;
    boxes.Build(Engines(9));
    boxes.RestoreTicks(data::IniFile(path));
    EXPECT_EQ(boxes.TickedNames(),
              (std::vector<std::string>{"Engine 2", "Engine 3", "Engine 4", "Engine 5", "Engine 6",
                                        "Engine 7", "Engine 8", "Engine 9"}));
    boxes.Boxes()[8]->setChecked(false);
    {
        data::IniFile ini(path);
        boxes.StoreTicks(ini);
        ini.Save();
    }
    // Rows moved: the ticks follow the names, not the positions.
    std::vector<EngineBoxSpec> moved = Engines(9);
    std::swap(moved[0], moved[8]);
    EngineBoxes again;
    again.Build(moved);
    again.RestoreTicks(data::IniFile(path));
    EXPECT_FALSE(again.Boxes()[0]->isChecked());  // Engine 9
    EXPECT_FALSE(again.Boxes()[8]->isChecked());  // Engine 1
    EXPECT_TRUE(again.Boxes()[1]->isChecked());
}

TEST(EngineBoxesTest, TheWindowShowsTheLiveEnginesWithTheFirstFourTicked) {
    testing::ProgramFolder folder;
    std::filesystem::copy_file(std::string(KELVANE_TEST_BIN_DIR) + "/SE.cds", folder.File("SE.cds"),
                               std::filesystem::copy_options::overwrite_existing);
    testing::RecordingDesktop desktop;
    TMainForm window(folder.Path(), &desktop);
    EXPECT_TRUE(desktop.errors.isEmpty());
    EXPECT_EQ(window.TickedEngineNames(), (std::vector<std::string>{"DuckDuckGo", "DuckDuckGo Lite",
                                                                    "Mojeek", "Brave Search"}));
    const auto* searx = window.findChild<QCheckBox*>("TBXCheckBox5");
    ASSERT_NE(searx, nullptr);
    EXPECT_EQ(searx->text(), "SearXNG");
    EXPECT_FALSE(searx->isChecked());
}

// The dialog checks each engine of the table once, against the demo engine of today.
TEST(EngineCheckFormTest, OneVerdictPerRow) {
    demo::DemoServer server{demo::ServerOptions{0, 0, 50}};
    server.Start();
    std::ifstream in(std::string(KELVANE_TEST_SOURCE_DIR) + "/tests/detect/modern-engines.sql");
    std::ostringstream text;
    text << in.rdbuf();
    std::string sql = text.str();
    const std::string host = "127.0.0.1:" + std::to_string(server.serverPort());
    for (std::size_t at; (at = sql.find("127.0.0.1:8765")) != std::string::npos;)
        sql.replace(at, 14, host);
    data::Table se("SE", data::EngineTableFields());
    detect::ReadEngineSql(sql, se);
    std::vector<detect::EngineDefinition> engines;
    for (const auto& engine : detect::ReadEngineDefinitions(se))
        if (engine.name == "Modern Link" || engine.name == "Modern Blocked")
            engines.push_back(engine);

    testing::ProgramFolder folder;
    EngineCheckForm form(engines, folder.Path(), folder.Path());
    form.CheckAll();
    QTableWidget* grid = form.Grid();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), "Modern Link");
    EXPECT_EQ(grid->item(0, 1)->text(), "works (10 results, next page found)");
    EXPECT_TRUE(grid->item(0, 1)->toolTip().startsWith("http://shop8.example/"));
    EXPECT_EQ(grid->item(1, 1)->text(), "blocked (status 429; wait, or use a proxy)");
}

}  // namespace
}  // namespace kv::app
