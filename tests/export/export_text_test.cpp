// Tab-separated text and ";"-separated values, byte for byte.
#include <gtest/gtest.h>

#include "data/exportgrid.h"
#include "tests/export/export_samples.h"

namespace kv::data {
namespace {

using testing::TinyGrid;
using testing::TinyRows;

TEST(ExportTextTest, TabsBetweenCellsAndCrLfBetweenRowsOnly) {
    EXPECT_EQ(ExportGridBytes(ExportFormat::Text, TinyGrid(),
                              TinyRows({{"x y", 1}, {"", -2}, {"\"q\";{}\\&<>", 3}})),
              "A\tB\r\nx y\t1\r\n\t-2\r\n\"q\";{}\\&<>\t3");
    EXPECT_EQ(ExportGridBytes(ExportFormat::Text, TinyGrid(), TinyRows({})), "A\tB");
}

TEST(ExportTextTest, ThreeKeywordsGiveFiveLinesEndingWithTheFooter) {
    ExportTableRows rows({"Keyword", "Count"});
    rows.AddRow({ExportCell::Text("seo"), ExportCell::Integer(2)});
    rows.AddRow({ExportCell::Text("web"), ExportCell::Integer(1)});
    rows.AddRow({ExportCell::Text("Grüße"), ExportCell::Integer(1)});
    EXPECT_EQ(ExportGridBytes(ExportFormat::Text, DesignedFrequencyGrid("3"), rows),
              "Keyword\tCount\r\nseo\t2\r\nweb\t1\r\nGrüße\t1\r\nTotal:\t3");
}

TEST(ExportTextTest, FieldsTheRowsLackGiveEmptyCells) {
    EXPECT_EQ(ExportGridBytes(ExportFormat::Text, DesignedFrequencyGrid("1"), TinyRows({{"x", 1}})),
              "Keyword\tCount\r\n\t\r\nTotal:\t1");
}

TEST(ExportTextTest, PerPageGridEndsWithItsLastRow) {
    ExportTableRows rows({"Rank", "url", "Keywords", "Sources"});
    rows.AddRow({ExportCell::Integer(1), ExportCell::Text("http://a/"), ExportCell::Text("a, b"),
                 ExportCell::Text("meta,tags")});
    rows.AddRow(
        {ExportCell::Integer(2), ExportCell::Null(), ExportCell::Text("c"), ExportCell::Null()});
    EXPECT_EQ(ExportGridBytes(ExportFormat::Text, DesignedPagesGrid(), rows),
              "Rank\tWeb page\tMETA Keywords\tSources\r\n"
              "1\thttp://a/\ta, b\tmeta,tags\r\n2\t\tc\t");
}

TEST(ExportCsvTest, EveryCellQuotedWithQuotesDoubled) {
    EXPECT_EQ(
        ExportGridBytes(ExportFormat::Csv, TinyGrid(),
                        TinyRows({{"say \"hi\"", 1}, {"", 2}, {"a;b", 3}, {"\"", 4}})),
        "\xEF\xBB\xBF\"A\";\"B\"\r\n\"say \"\"hi\"\"\";\"1\"\r\n\"\";\"2\"\r\n\"a;b\";\"3\"\r\n"
        "\"\"\"\";\"4\"");
}

TEST(ExportCsvTest, FooterAndCaptionsAreQuotedToo) {
    ExportTableRows rows({"Keyword", "Count"});
    rows.AddRow({ExportCell::Text("Ключ"), ExportCell::Integer(7)});
    EXPECT_EQ(ExportGridBytes(ExportFormat::Csv, DesignedFrequencyGrid("1"), rows),
              "\xEF\xBB\xBF\"Keyword\";\"Count\"\r\n\"Ключ\";\"7\"\r\n\"Total:\";\"1\"");
}

// A page chooses its META keywords: one that a spreadsheet would run as a formula is written
// as text, behind a "'", in both formats; numbers stay numbers.
TEST(ExportTextTest, FormulaCellsAreWrittenAsText) {
    ExportTableRows rows({"Keyword", "Count"});
    for (const char* keyword :
         {"=HYPERLINK(\"http://x/\")", "+1", "-1+2", "@SUM(A1)", "\tx", "\rx", "a=b", "x-"})
        rows.AddRow({ExportCell::Text(keyword), ExportCell::Integer(-3)});
    EXPECT_EQ(ExportGridBytes(ExportFormat::Text, DesignedFrequencyGrid("8"), rows),
              "Keyword\tCount\r\n'=HYPERLINK(\"http://x/\")\t-3\r\n'+1\t-3\r\n'-1+2\t-3\r\n"
              "'@SUM(A1)\t-3\r\n'\tx\t-3\r\n'\rx\t-3\r\na=b\t-3\r\nx-\t-3\r\nTotal:\t8");
    const std::string csv = ExportGridBytes(ExportFormat::Csv, DesignedFrequencyGrid("8"), rows);
    EXPECT_NE(csv.find("\r\n\"'=HYPERLINK(\"\"http://x/\"\")\";\"-3\"\r\n"), std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n\"'@SUM(A1)\";"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n\"a=b\";"), std::string::npos) << csv;
}

}  // namespace
}  // namespace kv::data
