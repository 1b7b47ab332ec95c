// Grid layouts in "set.ini": section = the grid's name, one key per column ("DBGridEh1.Keyword")
// with seven numbers: position, width, sort marker, visible, sort index, drop-down rows and
// drop-down width. Only position and width are read back.
// Tests: tests/app/mainform_startup_test.cpp.
#pragma once

#include <QString>

#include "data/inifile.h"

namespace kv::app {

class ResultGrid;

void StoreGridLayout(data::IniFile& ini, const QString& gridName, const ResultGrid& grid);
// A missing or malformed key leaves the column's designed position and width.
void RestoreGridLayout(const data::IniFile& ini, const QString& gridName, ResultGrid& grid);

}  // namespace kv::app
