// Table files: each file is a SQLite 3 database holding one table named after the file
// ("SECache" for "SECache.cds") whose columns are the table's fields, rows in rowid order.
// Tests: tests/data/tablefile_test.cpp.
#pragma once

#include <string>

#include "data/table.h"

namespace kv::data {

// Replaces the table's rows with the file's. A missing or unreadable file raises
// "Cannot open file %s"; a file that is not such a database raises an error naming the file.
// On failure the table keeps its rows.
void LoadTableFile(Table& table, const std::string& path);

// Commits a pending edit and writes every row to a new file that then replaces the old one,
// so a failed save (full disk, no permission) leaves the old file whole. Failure raises
// "Cannot create file %s".
void SaveTableFile(Table& table, const std::string& path);

// The SQLite table name of a file: its name without folder and extension.
std::string TableNameOfFile(const std::string& path);

}  // namespace kv::data
