// The rows of a live table as an export row source: the table's current view, read by
// position, so its cursor (and with it the grid's current row and scroll position) stays put.
// Tests: tests/data/export_tablerows_test.cpp.
#pragma once

#include "data/exportgrid.h"
#include "data/table.h"

namespace kv::data {

class TableExportRows : public ExportRowSource {
  public:
    explicit TableExportRows(Table& table) : table_(table) {}
    void ForEachRow(std::span<const ExportColumn> columns, const RowVisitor& visit) const override;

  private:
    Table& table_;
};

}  // namespace kv::data
