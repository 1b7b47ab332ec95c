#include "data/export_tablerows.h"

#include <gtest/gtest.h>

#include "data/tables.h"
#include "text/textcompare.h"

namespace kv::data {
namespace {

TEST(TableExportRowsTest, ExportsTheViewInOrderAndLeavesTheCursorWhereItWas) {
    text::SetCollationLocale("en_US");
    DataTables t;
    auto& res = t.KeywordResClientDataSet;
    for (auto [k, n] : std::vector<std::pair<std::string, int>>{{"a", 1}, {"b", 3}, {"c", 2}}) {
        res.Append();
        res.SetString("Keyword", k);
        res.SetInteger("Count", n);
        res.Post();
    }
    res.Append();
    res.SetString("Keyword", "no count");
    res.Post();
    res.First();
    res.Next();
    const ExportGrid grid = DesignedFrequencyGrid("4");
    const std::string text = ExportGridBytes(ExportFormat::Text, grid, TableExportRows(res));
    EXPECT_EQ(text, "Keyword\tCount\r\nb\t3\r\nc\t2\r\na\t1\r\nno count\t\r\nTotal:\t4");
    EXPECT_EQ(res.CurrentIndex(), 1);
    EXPECT_EQ(res.AsString("Keyword"), "c");
}

}  // namespace
}  // namespace kv::data
