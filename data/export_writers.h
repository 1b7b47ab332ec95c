// Private to the grid export: the rows every format writes, in order, and the writers of
// the single formats. May change with the formats.
#pragma once

#include <span>
#include <string>

#include "data/exportgrid.h"
#include "text/format.h"

namespace kv::data::exportdetail {

enum class RowKind { Title, Data, Footer };

// One cell as a format writes it: the title, data or footer text with its look.
struct CellView {
    const ExportCell* cell;
    ExportAlignment alignment;
    ExportColor background;
    const ExportFont* font;
};

using GridRowVisitor = std::function<void(RowKind kind, std::span<const CellView> cells)>;

// The title row, every data row, then every footer row.
void ForEachGridRow(const ExportGrid& grid, const ExportRowSource& rows,
                    const GridRowVisitor& visit);

// Six upper-case hexadecimal digits, red, green, blue.
std::string HexColor(ExportColor color);
std::string AlignmentName(ExportAlignment alignment);  // "LEFT", "RIGHT", "CENTER"

using text::FormatText;

std::string WriteText(const ExportGrid& grid, const ExportRowSource& rows);
std::string WriteCsv(const ExportGrid& grid, const ExportRowSource& rows);
std::string WriteHtml(const ExportGrid& grid, const ExportRowSource& rows);
std::string WriteRtf(const ExportGrid& grid, const ExportRowSource& rows);
std::string WriteWorkbook(const ExportGrid& grid, const ExportRowSource& rows);

}  // namespace kv::data::exportdetail
