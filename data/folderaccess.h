// Checks and repairs on the program folder's files that start-up needs: whether the folder
// takes new files at all, and setting a damaged table file aside under a new name.
// Tests: tests/data/folderaccess_test.cpp.
#pragma once

#include <string>

namespace kv::data {

// True when a new file can be created in the folder (tried, not guessed from the mode bits:
// a read-only mount or an ACL says no as well).
bool FolderIsWritable(const std::string& folder);

// Renames the file to "<name>.damaged-YYYYMMDD-HHMMSS" beside it (with "-2", "-3", ... when
// that name is taken) and returns the new path. Nothing is deleted. Raises DataError
// with "Cannot rename file %s" when the rename fails.
std::string SetDamagedFileAside(const std::string& path);

}  // namespace kv::data
