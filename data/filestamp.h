// What a file on disk is now, enough to tell that another program saved it since we last read
// or wrote it. Saves replace a table file by renaming a new one over it, so the inode changes
// even when the clock's tick does not.
// Tests: tests/data/tables_test.cpp.
#pragma once

#include <cstdint>
#include <string>

namespace kv::data {

struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of `path` now; a file that cannot be looked at reads as absent.
FileStamp StampOf(const std::string& path);

}  // namespace kv::data
