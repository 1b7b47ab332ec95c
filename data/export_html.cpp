// HTML 3.2 table: one line per cell with its width, alignment, background and font markup.
// The character replacements carry no closing semicolon, as the format always had.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "data/export_writers.h"

namespace kv::data::exportdetail {

namespace {

constexpr std::string_view kEol = "\r\n";

void AppendEscaped(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += "&nbsp";
        return;
    }
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp";
                break;
            case '<':
                out += "&lt";
                break;
            case '>':
                out += "&gt";
                break;
            case '"':
                out += "&quot";
                break;
            default:
                out += c;
        }
    }
}

void AppendFontMarkup(std::string& out, const ExportFont& font, std::string_view text) {
    out += "<FONT STYLE=\"font-family: " + font.name +
           "; font-size: " + std::to_string(font.sizePoints) + "pt; color: #" +
           HexColor(font.color) + "\">";
    const std::pair<bool, std::string_view> styles[] = {
        {font.bold, "B"}, {font.italic, "I"}, {font.underline, "U"}, {font.strikeOut, "STRIKE"}};
    for (const auto& [on, tag] : styles)
        if (on) out += "<" + std::string(tag) + ">";
    AppendEscaped(out, text);
    for (const auto& [on, tag] : styles)
        if (on) out += "</" + std::string(tag) + ">";
    out += "</FONT>";
}

// The largest integer of each bar column (0 for the others), for the bars' lengths.
std::vector<std::int64_t> BarMaxima(const ExportGrid& grid, const ExportRowSource& rows) {
    std::vector<std::int64_t> maxima(grid.columns.size(), 0);
    const bool any = std::any_of(grid.columns.begin(), grid.columns.end(),
                                 [](const ExportColumn& column) { return column.bars; });
    if (!any) return maxima;  // no second pass over the rows
    rows.ForEachRow(grid.columns, [&](std::span<const ExportCell> cells) {
        for (std::size_t c = 0; c < cells.size() && c < maxima.size(); ++c)
            if (grid.columns[c].bars && cells[c].kind == ExportCell::Kind::Integer)
                maxima[c] = std::max(maxima[c], cells[c].integer);
    });
    return maxima;
}

// The cell's text on a bar as long as its share of the largest value.
void AppendBar(std::string& out, std::int64_t value, std::int64_t maximum) {
    const std::int64_t percent =
        maximum > 0 ? std::clamp<std::int64_t>(value * 100 / maximum, 0, 100) : 0;
    out += "<DIV STYLE=\"background-color: #" + HexColor(kExportBarColor) +
           "; width: " + std::to_string(percent) + "%\">";
}

std::string TableLine(const ExportGrid& grid) {
    std::string line = "<TABLE ";
    if (!grid.columnLines && !grid.rowLines)
        line += "BORDER=0 CELLSPACING=0 CELLPADDING=";
    else if (grid.threeDimensional)
        line += "BORDER=1 CELLSPACING=0 CELLPADDING=";
    else
        line += "BORDER=0 CELLSPACING=1 CELLPADDING=";
    line += grid.flat ? "1" : "2";
    line += " BGCOLOR=#" + HexColor(grid.fixedColor) + ">";
    return line;
}

}  // namespace

std::string WriteHtml(const ExportGrid& grid, const ExportRowSource& rows) {
    std::string out;
    for (std::string_view line :
         {std::string_view("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">"),
          std::string_view("<HTML>"), std::string_view("<HEAD>"),
          std::string_view(
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"),
          std::string_view("<TITLE>"), std::string_view(grid.name), std::string_view("</TITLE>"),
          std::string_view("</HEAD>")}) {
        out += line;
        out += kEol;
    }
    out += TableLine(grid);
    out += kEol;
    out += kEol;

    const std::vector<std::int64_t> maxima = BarMaxima(grid, rows);
    ForEachGridRow(grid, rows, [&](RowKind kind, std::span<const CellView> cells) {
        out += "<TR>";
        out += kEol;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const CellView& cell = cells[c];
            out += "  <TD WIDTH=" + std::to_string(grid.columns[c].widthPixels) + " ALIGN=\"" +
                   AlignmentName(cell.alignment) + "\"";
            if (kind != RowKind::Title) out += " BGCOLOR=#" + HexColor(cell.background);
            out += ">";
            const bool bar = kind == RowKind::Data && grid.columns[c].bars &&
                             cell.cell->kind == ExportCell::Kind::Integer;
            if (bar) AppendBar(out, cell.cell->integer, maxima[c]);
            AppendFontMarkup(out, *cell.font, cell.cell->text);
            if (bar) out += "</DIV>";
            out += "</TD>";
            out += kEol;
        }
        out += "</TR>";
        out += kEol;
    });

    for (std::string_view line : {"</TABLE>", "</BODY>", "</HTML>"}) {
        out += line;
        out += kEol;
    }
    return out;
}

}  // namespace kv::data::exportdetail
