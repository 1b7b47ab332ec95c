#include "data/export_tablerows.h"

#include <optional>
#include <vector>

namespace kv::data {

void TableExportRows::ForEachRow(std::span<const ExportColumn> columns,
                                 const RowVisitor& visit) const {
    std::vector<std::optional<int>> fields;
    for (const auto& column : columns) fields.push_back(table_.FindField(column.field));
    std::vector<ExportCell> cells(columns.size());
    const int rows = table_.RecordCount();
    for (int r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!fields[c]) {
                cells[c] = ExportCell::Null();
                continue;
            }
            const Cell& cell = table_.CellAt(r, *fields[c]);
            const FieldType type = table_.Fields()[static_cast<std::size_t>(*fields[c])].type;
            if (cell.null)
                cells[c] = ExportCell::Null();
            else if (type == FieldType::Integer || type == FieldType::Word)
                cells[c] = ExportCell::Integer(cell.number);
            else
                cells[c] = ExportCell::Text(table_.CellText(r, *fields[c]));
        }
        visit(cells);
    }
}

}  // namespace kv::data
