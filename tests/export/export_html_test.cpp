// HTML table, byte for byte: prefix, title, data and footer rows, font markup, suffix.
#include <gtest/gtest.h>

#include "data/exportgrid.h"
#include "tests/export/export_samples.h"

namespace kv::data {
namespace {

using testing::TinyGrid;
using testing::TinyRows;

const std::string kTinyFont =
    "<FONT STYLE=\"font-family: Arial; font-size: 10pt; color: #123456\">";

TEST(ExportHtmlTest, BarColumnsDrawEachCountAsAShareOfTheLargest) {
    ExportGrid grid = TinyGrid();
    grid.columns[1].bars = true;
    const std::string html =
        ExportGridBytes(ExportFormat::Html, grid, TinyRows({{"a", 8}, {"b", 2}, {"c", 0}}));
    const std::string bar = "<DIV STYLE=\"background-color: #B4CDEB; width: ";
    EXPECT_NE(html.find(bar + "100%\">" + kTinyFont + "8</FONT></DIV>"), std::string::npos) << html;
    EXPECT_NE(html.find(bar + "25%\">" + kTinyFont + "2</FONT></DIV>"), std::string::npos);
    EXPECT_NE(html.find(bar + "0%\">" + kTinyFont + "0</FONT></DIV>"), std::string::npos);
    // Titles and text columns stay plain.
    EXPECT_EQ(html.find(bar + "100%\">" + kTinyFont + "a<"), std::string::npos);
}

TEST(ExportHtmlTest, WholeFileOfASmallGrid) {
    const std::string expected =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n"
        "<HTML>\r\n<HEAD>\r\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\r\n"
        "<TITLE>\r\nTiny\r\n</TITLE>\r\n</HEAD>\r\n"
        "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=1 BGCOLOR=#C0C0C0>\r\n\r\n"
        "<TR>\r\n"
        "  <TD WIDTH=100 ALIGN=\"CENTER\">" +
        kTinyFont +
        "A</FONT></TD>\r\n"
        "  <TD WIDTH=50 ALIGN=\"CENTER\">" +
        kTinyFont +
        "B</FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR>\r\n"
        "  <TD WIDTH=100 ALIGN=\"LEFT\" BGCOLOR=#FFFFFF>" +
        kTinyFont +
        "a&ampb &ltc&gt &quotd&quot&amp;</FONT></TD>\r\n"
        "  <TD WIDTH=50 ALIGN=\"RIGHT\" BGCOLOR=#FFFFFF>" +
        kTinyFont +
        "7</FONT></TD>\r\n"
        "</TR>\r\n"
        "<TR>\r\n"
        "  <TD WIDTH=100 ALIGN=\"LEFT\" BGCOLOR=#FFFFFF>" +
        kTinyFont +
        "&nbsp</FONT></TD>\r\n"
        "  <TD WIDTH=50 ALIGN=\"RIGHT\" BGCOLOR=#FFFFFF>" +
        kTinyFont +
        "0</FONT></TD>\r\n"
        "</TR>\r\n"
        "</TABLE>\r\n</BODY>\r\n</HTML>\r\n";
    EXPECT_EQ(ExportGridBytes(ExportFormat::Html, TinyGrid(),
                              TinyRows({{"a&b <c> \"d\"&;", 7}, {"", 0}})),
              expected);
}

TEST(ExportHtmlTest, StylesOpenAndCloseInTheSameOrder) {
    ExportGrid grid = TinyGrid();
    grid.columns.resize(1);
    grid.columns[0].font = {"Tahoma", 9, {0xAB, 0xCD, 0xEF}, true, true, true, true};
    const std::string bytes = ExportGridBytes(ExportFormat::Html, grid, TinyRows({{"x", 1}}));
    EXPECT_NE(bytes.find("<FONT STYLE=\"font-family: Tahoma; font-size: 9pt; color: #ABCDEF\">"
                         "<B><I><U><STRIKE>x</B></I></U></STRIKE></FONT></TD>\r\n"),
              std::string::npos)
        << bytes;
}

TEST(ExportHtmlTest, FooterRowUsesFooterAlignmentColourAndFont) {
    ExportGrid grid = TinyGrid();
    grid.footerColor = {0x01, 0x02, 0x03};
    ExportFont bold{"Courier", 12, {0, 0, 0}, true};
    grid.footerRows.push_back(
        {{"Total:", ExportAlignment::Center, bold}, {"", ExportAlignment::Left, bold}});
    const std::string bytes = ExportGridBytes(ExportFormat::Html, grid, TinyRows({}));
    const std::string footerFont =
        "<FONT STYLE=\"font-family: Courier; font-size: 12pt; color: #000000\"><B>";
    EXPECT_NE(bytes.find("<TR>\r\n"
                         "  <TD WIDTH=100 ALIGN=\"CENTER\" BGCOLOR=#010203>" +
                         footerFont +
                         "Total:</B></FONT></TD>\r\n"
                         "  <TD WIDTH=50 ALIGN=\"LEFT\" BGCOLOR=#010203>" +
                         footerFont +
                         "&nbsp</B></FONT></TD>\r\n"
                         "</TR>\r\n</TABLE>\r\n"),
              std::string::npos)
        << bytes;
}

TEST(ExportHtmlTest, TableLineFollowsLinesLookAndFlatness) {
    struct Case {
        bool columnLines, rowLines, threeDimensional, flat;
        std::string tableLine;
    };
    const Case cases[] = {
        {true, true, true, true, "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=1 BGCOLOR=#C0C0C0>"},
        {true, false, true, false, "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=2 BGCOLOR=#C0C0C0>"},
        {false, true, false, true, "<TABLE BORDER=0 CELLSPACING=1 CELLPADDING=1 BGCOLOR=#C0C0C0>"},
        {false, false, true, true, "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=1 BGCOLOR=#C0C0C0>"},
        {false, false, false, false,
         "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=2 BGCOLOR=#C0C0C0>"},
    };
    for (const Case& c : cases) {
        ExportGrid grid = TinyGrid();
        grid.columnLines = c.columnLines;
        grid.rowLines = c.rowLines;
        grid.threeDimensional = c.threeDimensional;
        grid.flat = c.flat;
        const std::string bytes = ExportGridBytes(ExportFormat::Html, grid, TinyRows({}));
        EXPECT_NE(bytes.find("</HEAD>\r\n" + c.tableLine + "\r\n\r\n<TR>\r\n"), std::string::npos)
            << bytes;
    }
}

}  // namespace
}  // namespace kv::data
