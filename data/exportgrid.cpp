// Cells, in-memory rows, the row order shared by all formats and the format choice.
#include "data/exportgrid.h"

#include <cstdio>

#include "data/export_writers.h"
#include "text/textcompare.h"
#include "text/utf8.h"

namespace kv::data {

ExportCell ExportCell::Text(std::string text) {
    ExportCell cell;
    cell.kind = Kind::Text;
    cell.text = std::move(text);
    return cell;
}

ExportCell ExportCell::Integer(std::int64_t value) {
    ExportCell cell;
    cell.kind = Kind::Integer;
    cell.integer = value;
    cell.text = std::to_string(value);
    return cell;
}

ExportCell ExportCell::Number(double value, std::string displayText) {
    ExportCell cell;
    cell.kind = Kind::Number;
    cell.number = value;
    cell.text = std::move(displayText);
    return cell;
}

void ExportTableRows::AddRow(std::vector<ExportCell> cells) {
    if (cells.size() != fields_.size())
        throw std::invalid_argument("ExportTableRows: a row needs one cell per field");
    rows_.push_back(std::move(cells));
}

void ExportTableRows::ForEachRow(std::span<const ExportColumn> columns,
                                 const RowVisitor& visit) const {
    constexpr std::size_t kNoField = static_cast<std::size_t>(-1);
    std::vector<std::size_t> positions;
    for (const ExportColumn& column : columns) {
        std::size_t position = kNoField;
        for (std::size_t i = 0; i < fields_.size() && !column.field.empty(); ++i)
            if (text::SameAsciiNoCase(fields_[i], column.field)) {
                position = i;
                break;
            }
        positions.push_back(position);
    }
    std::vector<ExportCell> cells(columns.size());
    for (const auto& row : rows_) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            cells[c] = positions[c] == kNoField ? ExportCell::Null() : row[positions[c]];
        visit(cells);
    }
}

namespace exportdetail {

void ForEachGridRow(const ExportGrid& grid, const ExportRowSource& rows,
                    const GridRowVisitor& visit) {
    const auto& columns = grid.columns;
    std::vector<CellView> views(columns.size());

    std::vector<ExportCell> captions;
    for (const ExportColumn& column : columns) captions.push_back(ExportCell::Text(column.caption));
    for (std::size_t c = 0; c < columns.size(); ++c)
        views[c] = {&captions[c], columns[c].titleAlignment, columns[c].titleColor,
                    &columns[c].titleFont};
    visit(RowKind::Title, views);

    rows.ForEachRow(columns, [&](std::span<const ExportCell> cells) {
        if (cells.size() != columns.size())
            throw std::logic_error("export row source gave a row of the wrong width");
        for (std::size_t c = 0; c < columns.size(); ++c)
            views[c] = {&cells[c], columns[c].alignment, columns[c].color, &columns[c].font};
        visit(RowKind::Data, views);
    });

    std::vector<ExportCell> texts(columns.size());
    for (const auto& footer : grid.footerRows) {
        if (footer.size() != columns.size())
            throw std::logic_error("export footer row has the wrong width");
        for (std::size_t c = 0; c < columns.size(); ++c) {
            texts[c] = ExportCell::Text(footer[c].text);
            views[c] = {&texts[c], footer[c].alignment, grid.footerColor, &footer[c].font};
        }
        visit(RowKind::Footer, views);
    }
}

std::string HexColor(ExportColor color) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", color.red, color.green, color.blue);
    return buffer;
}

std::string AlignmentName(ExportAlignment alignment) {
    switch (alignment) {
        case ExportAlignment::Right:
            return "RIGHT";
        case ExportAlignment::Center:
            return "CENTER";
        case ExportAlignment::Left:
            break;
    }
    return "LEFT";
}

}  // namespace exportdetail

bool ExportFormatIsBinary(ExportFormat format) {
    return format == ExportFormat::Workbook;
}

std::string ExportGridBytes(ExportFormat format, const ExportGrid& grid,
                            const ExportRowSource& rows) {
    switch (format) {
        case ExportFormat::Text:
            return exportdetail::WriteText(grid, rows);
        case ExportFormat::Csv:
            return exportdetail::WriteCsv(grid, rows);
        case ExportFormat::Html:
            return exportdetail::WriteHtml(grid, rows);
        case ExportFormat::Rtf:
            return exportdetail::WriteRtf(grid, rows);
        case ExportFormat::Workbook:
            return exportdetail::WriteWorkbook(grid, rows);
    }
    throw std::invalid_argument("unknown export format");
}

namespace {
constexpr ExportFormat kFilterFormats[] = {ExportFormat::Text, ExportFormat::Csv,
                                           ExportFormat::Html, ExportFormat::Rtf,
                                           ExportFormat::Workbook};
}  // namespace

std::optional<ExportFormat> ExportFormatFromFilterIndex(int index) {
    if (index < 1 || index > static_cast<int>(std::size(kFilterFormats))) return std::nullopt;
    return kFilterFormats[index - 1];
}

std::string_view ExportExtension(ExportFormat format) {
    switch (format) {
        case ExportFormat::Text:
            return "txt";
        case ExportFormat::Csv:
            return "csv";
        case ExportFormat::Html:
            return "htm";
        case ExportFormat::Rtf:
            return "rtf";
        case ExportFormat::Workbook:
            return "xls";
    }
    return "";
}

std::optional<ExportFormat> ExportFormatFromExtension(std::string_view extension) {
    for (ExportFormat format : kFilterFormats)
        if (ExportExtension(format) == extension) return format;
    return std::nullopt;
}

std::string ExportFileName(std::string_view chosen, ExportFormat format) {
    const std::string_view extension = ExportExtension(format);
    // The last three characters, not bytes: a multi-byte letter counts once.
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < chosen.size(); pos += text::CharLength(chosen, pos))
        starts.push_back(pos);
    const std::size_t start = starts.size() >= 3 ? starts[starts.size() - 3] : 0;
    std::string name(chosen);
    if (!text::SameAsciiNoCase(chosen.substr(start), extension))
        name += "." + std::string(extension);
    return name;
}

}  // namespace kv::data
