// The program's ini files ("set.ini"): sections and keys are found ignoring ASCII case,
// values are kept exactly as written after "=", and a write keeps every other line of the
// file (comments, unknown sections and keys) where it was. Saving is atomic.
// Tests: tests/data/inifile_test.cpp.
#pragma once

#include <sys/types.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/dataerror.h"

namespace kv::data {

// A set.ini that cannot be read or written; the message is the user-visible text.
class IniError : public DataError {
  public:
    using DataError::DataError;
};

class IniFile {
  public:
    // Reads the file; a missing file is an empty one. An unreadable file raises IniError.
    explicit IniFile(std::string path);

    const std::string& Path() const { return path_; }

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // "True"/"False" as the window writes them; "1"/"0" are read too.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool SectionExists(std::string_view section) const;

    // A section, key or value holding CR or LF raises IniError, as do names that would read
    // back otherwise (an empty key, "=" in a key, "]" in a section, blanks at their ends, a
    // key beginning with ";", "#" or "["). Nothing changes then.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes the whole file to a temporary file and renames it over the old one, so a failure
    // leaves the old file whole. A new file gets `newFileMode`; an existing one keeps its mode
    // unless `forceMode` is set. Failure raises IniError "Cannot create file %s".
    void Save(mode_t newFileMode = 0644, bool forceMode = false) const;

  private:
    struct Line {
        std::string text;  // the line as read, without its line end
        int section = -1;  // index into sections_ of the section it belongs to
        std::string key;   // for key lines: the key as written, trimmed
        std::size_t valuePos = 0;
    };
    struct Section {
        std::string name;
        std::size_t headerLine = 0;  // index of "[name]" line
    };

    const Line* FindLine(std::string_view section, std::string_view key) const;
    int FindSection(std::string_view section) const;

    std::string path_;
    std::string lineEnd_ = "\n";
    std::vector<Line> lines_;
    std::vector<Section> sections_;
};

}  // namespace kv::data
