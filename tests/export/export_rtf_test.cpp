// Rich Text table, byte for byte: colour and font tables in order of first use, cell edges,
// text runs and escapes.
#include <gtest/gtest.h>

#include "data/exportgrid.h"
#include "tests/export/export_samples.h"

namespace kv::data {
namespace {

using testing::TinyGrid;
using testing::TinyRows;

const std::string kBorders =
    "\\clbrdrl\\brdrs\\brdrcf0\r\n\\clbrdrt\\brdrs\\brdrcf0\r\n"
    "\\clbrdrb\\brdrs\\brdrcf0\r\n\\clbrdrr\\brdrs\\brdrcf0\r\n";

TEST(ExportRtfTest, WholeFileOfASmallGrid) {
    const std::string expected =
        "{\\rtf0\\ansi\r\n"
        "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;"
        "\\red192\\green192\\blue192;\\red18\\green52\\blue86;}\r\n"
        "{\\fonttbl\\f0\\fnil Arial;}\r\n"
        "\\trowd\\trgaph40\r\n" +
        kBorders + "\\clshdng10000\\clcfpat2\\cellx1500\r\n" + kBorders +
        "\\clshdng10000\\clcfpat2\\cellx2250\r\n"
        "{\\trrh0\r\n"
        "\\pard\\intbl{\\qc\\sb12\\sa12\\fs20\\f0\\cf3\\cb2 A\\cell}\r\n"
        "\\pard\\intbl{\\qc\\sb12\\sa12\\fs20\\f0\\cf3\\cb2 B\\cell}\r\n"
        "\\pard\\intbl\\row}\r\n"
        "\\trowd\\trgaph40\r\n" +
        kBorders + "\\clshdng10000\\clcfpat1\\cellx1500\r\n" + kBorders +
        "\\clshdng10000\\clcfpat1\\cellx2250\r\n"
        "{\\trrh0\r\n"
        "\\pard\\intbl{\\ql\\sb12\\sa12\\fs20\\f0\\cf3\\cb1 a\\\\\\{b\\} \"&<>\\cell}\r\n"
        "\\pard\\intbl{\\qr\\sb12\\sa12\\fs20\\f0\\cf3\\cb1 -7\\cell}\r\n"
        "\\pard\\intbl\\row}\r\n"
        "}";
    EXPECT_EQ(ExportGridBytes(ExportFormat::Rtf, TinyGrid(), TinyRows({{"a\\{b} \"&<>", -7}})),
              expected);
}

TEST(ExportRtfTest, NonAsciiTextBecomesUnicodeEscapes) {
    ExportGrid grid = TinyGrid();
    grid.columns.resize(1);
    // é, Cyrillic, an emoji as a surrogate pair, and an invalid byte as its code page byte.
    const std::string bytes =
        ExportGridBytes(ExportFormat::Rtf, grid, TinyRows({{"é Кл 😀 \xff!", 1}}));
    EXPECT_NE(bytes.find("\\cb1 \\u233? \\u1050?\\u1083? \\u-10179?\\u-8704? \\'ff!\\cell}\r\n"),
              std::string::npos)
        << bytes;
}

TEST(ExportRtfTest, TablesListColoursAndFontsOnceInOrderOfFirstUse) {
    ExportGrid grid = TinyGrid();
    grid.buttonFaceColor = {1, 2, 3};
    grid.columns[0].titleColor = {0xFF, 0xFF, 0xFF};              // white: already listed
    grid.columns[0].titleFont = {"Title", 8, {9, 9, 9}};          // new colour 3, font 0
    grid.columns[1].titleColor = {7, 7, 7};                       // new colour (cell first)
    grid.columns[1].titleFont = {"Title", 8, {0, 0, 0}};          // black: already listed
    grid.columns[0].font = {"Body", 11, {1, 2, 3}, false, true};  // button face colour
    grid.columns[1].font = {"Title", 11, {9, 9, 9}, true, false, true, true};
    grid.columns[0].color = {5, 5, 5};
    grid.columns[1].color = {5, 5, 5};
    const std::string bytes = ExportGridBytes(ExportFormat::Rtf, grid, TinyRows({{"x", 1}}));
    EXPECT_EQ(bytes.substr(0, bytes.find("\\trowd")),
              "{\\rtf0\\ansi\r\n"
              "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red1\\green2\\blue3;"
              "\\red7\\green7\\blue7;\\red9\\green9\\blue9;\\red5\\green5\\blue5;}\r\n"
              "{\\fonttbl\\f0\\fnil Title;\\f1\\fnil Body;}\r\n");
    EXPECT_NE(bytes.find("{\\qc\\sb12\\sa12\\fs16\\f0\\cf4\\cb1 A\\cell}"), std::string::npos);
    EXPECT_NE(bytes.find("{\\qc\\sb12\\sa12\\fs16\\f0\\cf0\\cb3 B\\cell}"), std::string::npos);
    EXPECT_NE(bytes.find("{\\ql\\sb12\\sa12\\fs22\\i\\f1\\cf2\\cb5 x\\cell}"), std::string::npos);
    EXPECT_NE(bytes.find("{\\qr\\sb12\\sa12\\fs22\\b\\strike\\ul\\f0\\cf4\\cb5 1\\cell}"),
              std::string::npos);
}

TEST(ExportRtfTest, EdgesAddEachColumnCutToWholeTwips) {
    ExportGrid grid = TinyGrid();
    grid.pixelsPerInch = 100;         // 14.4 twips a pixel
    grid.columns[0].widthPixels = 7;  // 100.8
    grid.columns[1].widthPixels = 3;  // 43.2: 143, where the cut sum would be 144
    grid.flat = false;
    const std::string bytes = ExportGridBytes(ExportFormat::Rtf, grid, TinyRows({}));
    EXPECT_NE(bytes.find("\\clcfpat2\\cellx100\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\\clcfpat2\\cellx143\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("{\\qc\\sb24\\sa24\\fs20"), std::string::npos) << bytes;
}

TEST(ExportRtfTest, FooterCellsUseTheFooterColourAndEndTheBody) {
    ExportGrid grid = DesignedFrequencyGrid("0");
    grid.footerColor = {0x10, 0x20, 0x30};
    const std::string bytes = ExportGridBytes(ExportFormat::Rtf, grid, TinyRows({}));
    const std::string tail =
        "{\\trrh0\r\n"
        "\\pard\\intbl{\\ql\\sb12\\sa12\\fs16\\f0\\cf0\\cb3 Total:\\cell}\r\n"
        "\\pard\\intbl{\\qr\\sb12\\sa12\\fs16\\f0\\cf0\\cb3 0\\cell}\r\n"
        "\\pard\\intbl\\row}\r\n}";
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
    EXPECT_NE(bytes.find("\\red16\\green32\\blue48;}"), std::string::npos) << bytes;
}

}  // namespace
}  // namespace kv::data
