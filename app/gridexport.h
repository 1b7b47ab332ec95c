// A result grid describes itself for the export writers: its visible columns in their shown
// order with their real widths, alignments, fonts and colours, and its footer row.
// Tests: tests/app/export_commands_test.cpp.
#pragma once

#include <QStringList>

#include "data/exportgrid.h"

namespace kv::app {

class ResultGrid;

data::ExportGrid DescribeGrid(const ResultGrid& grid);

// The save dialog's filters in Qt's form, in the order of the export filter entries.
QStringList SaveDialogFilters();

}  // namespace kv::app
