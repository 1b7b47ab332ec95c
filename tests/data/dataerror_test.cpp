// Every failure of the data folder can be caught as DataError and carries its user text.
#include "data/dataerror.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "data/export_tablerows.h"
#include "data/exportgrid.h"
#include "data/folderaccess.h"
#include "data/inifile.h"
#include "data/table.h"
#include "data/tablefile.h"
#include "tests/support/tempdir.h"

namespace kv::data {
namespace {

TEST(DataError, EveryLayerRaisesItWithItsMessage) {
    kv::testing::TempDir dir;
    const std::string missing = dir.File("missing") + "/file";
    Table table("T", {{"name", FieldType::String, 10}});
    const ExportGrid grid = DesignedFrequencyGrid("0");
    const TableExportRows rows(table);
    const struct {
        std::function<void()> fail;
        std::string message;
    } cases[] = {
        {[&] { LoadTableFile(table, missing); }, "Cannot open file " + missing},
        {[&] { SaveTableFile(table, missing); }, "Cannot create file " + missing},
        {[&] { table.FieldIndex("nope"); }, "T: Field 'nope' not found"},
        {[&] { IniFile(missing).Save(0600, false); }, "Cannot create file " + missing},
        {[&] { IniFile(missing).WriteString("s", "k", "a\nb"); },
         "Cannot write [s] k to " + missing + ": a line break or a misplaced sign in the text"},
        {[&] { ExportGridToFile(ExportFormat::Text, grid, rows, missing); },
         "Cannot create file " + missing},
        {[&] { SetDamagedFileAside(missing); }, "Cannot rename file " + missing},
    };
    for (const auto& c : cases) {
        try {
            c.fail();
            ADD_FAILURE() << "no error: " << c.message;
        } catch (const DataError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace kv::data
