// Tab-separated text and ";"-separated values: one line per row, CR LF between lines and
// none after the last.
#include "data/export_writers.h"

namespace kv::data::exportdetail {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A spreadsheet opening the file would run a cell beginning with one of these as a formula;
// a leading "'" makes it text (pages choose their keywords, and "=HYPERLINK(...)" is one).
constexpr std::string_view kFormulaStarts = "=+-@\t\r";

// Numbers stay numbers ("-2"); captions and footers are texts like any other.
void AppendCellText(std::string& out, const ExportCell& cell) {
    const std::string& text = cell.text;
    if (cell.kind != ExportCell::Kind::Integer && cell.kind != ExportCell::Kind::Number &&
        !text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos)
        out += '\'';
    out += text;
}

template <typename CellFormatter>
std::string WriteSeparated(const ExportGrid& grid, const ExportRowSource& rows,
                           std::string_view separator, CellFormatter format) {
    std::string out;
    bool firstRow = true;
    ForEachGridRow(grid, rows, [&](RowKind, std::span<const CellView> cells) {
        if (!firstRow) out += kLineBreak;
        firstRow = false;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0) out += separator;
            format(out, *cells[c].cell);
        }
    });
    return out;
}

}  // namespace

std::string WriteText(const ExportGrid& grid, const ExportRowSource& rows) {
    return WriteSeparated(grid, rows, "\t", AppendCellText);
}

std::string WriteCsv(const ExportGrid& grid, const ExportRowSource& rows) {
    return WriteSeparated(grid, rows, ";", [](std::string& out, const ExportCell& cell) {
        std::string text;
        AppendCellText(text, cell);
        out += '"';
        for (char c : text) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    });
}

}  // namespace kv::data::exportdetail
