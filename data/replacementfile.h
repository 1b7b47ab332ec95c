// Replacing a file whole or not at all: a new temporary file beside the target is written,
// made durable and renamed over the target, so a full disk or a crash leaves the old file as
// it was. Used by every file the program writes. The writer holds an flock on its temporary
// file until it is renamed, so one left behind by a crash or a kill is told from one being
// written: such stale files are removed at the next load or save of their target.
// Tests: through its users (tests/data/tablefile_test.cpp, inifile_test.cpp, tests/export,
// tests/http/authstore_test.cpp).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace kv::data {

// Permissions of the file that replaces the target: `forced` when given; otherwise those of
// the existing target, or `forNewFile` (default: what the umask gives a new file).
struct FileMode {
    std::optional<mode_t> forced;
    std::optional<mode_t> forNewFile;
};

class ReplacementFile {
  public:
    explicit ReplacementFile(std::string target, FileMode mode = {});
    ~ReplacementFile();  // removes the temporary file unless it was committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool Valid() const { return fd_ >= 0; }
    // Where the new content goes (another writer, such as SQLite, may open it by name).
    const std::string& TemporaryPath() const { return path_; }
    bool Write(std::string_view bytes);
    // Syncs the new file, renames it over the target and syncs the folder.
    bool Commit();

  private:
    std::string target_;
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

// Removes the temporary files "<target>.saving-XXXXXX" that no writer holds any more.
void RemoveStaleSavingFiles(const std::string& target);

// The whole file at once; false when it could not be written (the old file is untouched).
bool ReplaceFileContents(const std::string& target, std::string_view bytes, FileMode mode = {});

}  // namespace kv::data
