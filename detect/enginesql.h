// Engine definitions as readable SQL text (the form of resources/SE-live.sql): export of the
// table, and import that checks every field and compiles every pattern before anything is
// written, replacing rows by name.
// Tests: tests/detect/enginesql_test.cpp.
#pragma once

#include <string>

#include "data/table.h"
#include "detect/detecterror.h"

namespace kv::detect {

// A definition file that cannot be imported; the message names the line, or the row and field.
class EngineDefinitionError : public DetectError {
  public:
    using DetectError::DetectError;
};

// The table as SQL: a CREATE TABLE SE with every field, then one INSERT per row. Line breaks
// inside values are written as char(13, 10) joins, as in the shipped files.
std::string WriteEngineSql(data::Table& se);

// Runs the SQL in a private in-memory database (no file access, a step budget) and reads its
// SE table into `into` (a table with the engine schema), after checking every row.
void ReadEngineSql(const std::string& sql, data::Table& into);

// Every row of `imported` replaces the row of `target` with the same SEName, in place, or is
// appended. Returns the names in the order imported.
std::vector<std::string> MergeEngineRows(data::Table& target, data::Table& imported);

// The whole import: reads and checks the file, then rewrites the SE.cds file (created when
// missing) in one step. A bad file or a damaged SE.cds changes nothing.
std::vector<std::string> ImportEngineFile(const std::string& sqlPath, const std::string& cdsPath);

}  // namespace kv::detect
