// Workbook records, byte for byte, and the limits of the record format.
#include <gtest/gtest.h>

#include <cstdint>

#include "data/exportgrid.h"
#include "tests/export/export_samples.h"

namespace kv::data {
namespace {

using testing::TinyGrid;
using testing::TinyRows;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

const std::string kBeginOfFile =
    Bytes({0x09, 0x08, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0, 0, 0, 0});
const std::string kUnicodeBeginOfFile =
    Bytes({0x09, 0x08, 0x08, 0x00, 0x00, 0x06, 0x10, 0x00, 0, 0, 0, 0});
const std::string kEndOfFile = Bytes({0x0A, 0x00, 0x00, 0x00});

// A one-column grid over field "a" whose cells are given directly.
std::string OneColumnWorkbook(std::vector<ExportCell> cells) {
    ExportGrid grid = TinyGrid();
    grid.columns.resize(1);
    ExportTableRows rows({"a"});
    for (auto& cell : cells) rows.AddRow({std::move(cell)});
    return ExportGridBytes(ExportFormat::Workbook, grid, rows);
}

// The records after the title cell "A" of OneColumnWorkbook, without the end of file.
std::string DataRecords(const std::string& workbook) {
    const std::size_t start = 12 + 13;
    return workbook.substr(start, workbook.size() - start - 4);
}

TEST(ExportWorkbookTest, WholeFileOfASmallGrid) {
    const std::string expected =
        kBeginOfFile + Bytes({0x04, 0x02, 0x09, 0x00, 0, 0, 0, 0, 0, 0, 1, 0, 'A'}) +
        Bytes({0x04, 0x02, 0x09, 0x00, 0, 0, 1, 0, 0, 0, 1, 0, 'B'}) +
        Bytes({0x04, 0x02, 0x0A, 0x00, 1, 0, 0, 0, 0, 0, 2, 0, 'x', '"'}) +
        Bytes({0x7E, 0x02, 0x0A, 0x00, 1, 0, 1, 0, 0, 0, 0x1E, 0, 0, 0}) +
        Bytes({0x04, 0x02, 0x08, 0x00, 2, 0, 0, 0, 0, 0, 0, 0}) +
        Bytes({0x7E, 0x02, 0x0A, 0x00, 2, 0, 1, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF}) + kEndOfFile;
    EXPECT_EQ(ExportGridBytes(ExportFormat::Workbook, TinyGrid(), TinyRows({{"x\"", 7}, {"", -3}})),
              expected);
}

TEST(ExportWorkbookTest, IntegersOutsideThirtyBitsBecomeNumbers) {
    EXPECT_EQ(DataRecords(OneColumnWorkbook(
                  {ExportCell::Integer(536870911), ExportCell::Integer(-536870912),
                   ExportCell::Integer(536870912), ExportCell::Integer(4294967295)})),
              Bytes({0x7E, 0x02, 0x0A, 0x00, 1, 0, 0, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0x7F}) +
                  Bytes({0x7E, 0x02, 0x0A, 0x00, 2, 0, 0, 0, 0, 0, 0x02, 0x00, 0x00, 0x80}) +
                  Bytes({0x03, 0x02, 0x0E, 0x00, 3, 0, 0, 0, 0, 0,  //
                         0, 0, 0, 0, 0, 0, 0xC0, 0x41}) +
                  Bytes({0x03, 0x02, 0x0E, 0x00, 4, 0, 0, 0, 0, 0,  //
                         0, 0, 0xE0, 0xFF, 0xFF, 0xFF, 0xEF, 0x41}));
}

TEST(ExportWorkbookTest, NullAndNumberCells) {
    EXPECT_EQ(DataRecords(OneColumnWorkbook(
                  {ExportCell::Null(), ExportCell::Number(2.5, "2,50"), ExportCell::Text("")})),
              Bytes({0x01, 0x02, 0x06, 0x00, 1, 0, 0, 0, 0, 0}) +
                  Bytes({0x03, 0x02, 0x0E, 0x00, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0x40}) +
                  Bytes({0x04, 0x02, 0x08, 0x00, 3, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ExportWorkbookTest, CodePageTextKeepsTheRecordLayout) {
    // Latin letters, the euro sign and a stray byte all have a Windows-1252 byte.
    const std::string workbook = OneColumnWorkbook({ExportCell::Text("é€\x81\xff")});
    EXPECT_EQ(workbook.substr(0, 12), kBeginOfFile);
    EXPECT_EQ(DataRecords(workbook),
              Bytes({0x04, 0x02, 0x0C, 0x00, 1, 0, 0, 0, 0, 0, 4, 0, 0xE9, 0x80, 0x81, 0xFF}));
}

TEST(ExportWorkbookTest, TextOutsideTheCodePageTurnsTheWholeFileToUtf16) {
    const std::string workbook =
        OneColumnWorkbook({ExportCell::Text("Ж😀"), ExportCell::Integer(1)});
    const std::string expected =
        kUnicodeBeginOfFile + Bytes({0x04, 0x02, 0x0B, 0x00, 0, 0, 0, 0, 0, 0, 1, 0, 1, 'A', 0}) +
        Bytes({0x04, 0x02, 0x0F, 0x00, 1, 0, 0, 0, 0, 0, 3, 0, 1,  //
               0x16, 0x04, 0x3D, 0xD8, 0x00, 0xDE}) +
        Bytes({0x7E, 0x02, 0x0A, 0x00, 2, 0, 0, 0, 0, 0, 0x06, 0, 0, 0}) + kEndOfFile;
    EXPECT_EQ(workbook, expected);
}

TEST(ExportWorkbookTest, OverlongTextIsCutToWhatReadersAccept) {
    const std::string codePage = OneColumnWorkbook({ExportCell::Text(std::string(3000, 'x'))});
    EXPECT_EQ(DataRecords(codePage).substr(0, 12),
              Bytes({0x04, 0x02, 0x20, 0x08, 1, 0, 0, 0, 0, 0, 0x18, 0x08}));  // 2072 bytes
    EXPECT_EQ(DataRecords(codePage).size(), 12u + 2072u);

    // 4106 letters and an emoji: the pair would cross the limit of 4107 units, so it goes whole.
    const std::string unicode = OneColumnWorkbook({ExportCell::Text(std::string(4106, 'a') + "😀")});
    const std::string records = unicode.substr(12 + 15, unicode.size() - 12 - 15 - 4);
    EXPECT_EQ(records.substr(0, 13),
              Bytes({0x04, 0x02, 0x1D, 0x20, 1, 0, 0, 0, 0, 0, 0x0A, 0x10, 1}));
    EXPECT_EQ(records.size(), 13u + 2 * 4106u);
}

TEST(ExportWorkbookTest, RowsBeyondSixteenBitNumbersAreRefused) {
    ExportGrid grid = TinyGrid();
    std::vector<std::pair<std::string, std::int64_t>> many(65535, {"k", 1});
    EXPECT_NO_THROW(ExportGridBytes(ExportFormat::Workbook, grid, TinyRows(many)));
    grid.footerRows.push_back({{"Total:", ExportAlignment::Left, {}}, {"", {}, {}}});
    try {
        ExportGridBytes(ExportFormat::Workbook, grid, TinyRows(many));
        FAIL() << "no error";
    } catch (const ExportError& e) {
        EXPECT_STREQ(e.what(), "The grid has too many rows for a workbook: 65537");
    }
}

}  // namespace
}  // namespace kv::data
