#include "cli/keywordlist.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/cliarguments.h"
#include "cli/clistrings.h"
#include "detect/detectstrings.h"
#include "text/format.h"

namespace kv::cli {

namespace {

constexpr const char* kBlanks = " \t\r";

// The reason a line is no keyword, or "" when it is one.
std::string Fault(const std::string& line) {
    for (std::size_t i = 0; i < line.size();) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F) return strings::kControlCharacter;
        std::size_t length = c < 0x80                ? 1
                             : c >= 0xF0 && c < 0xF5 ? 4
                             : c >= 0xE0             ? 3
                             : c >= 0xC2             ? 2
                                                     : 0;
        if (c >= 0xF5) length = 0;
        if (length == 0 || i + length > line.size()) return strings::kNotUtf8;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(line[i + k]) & 0xC0) != 0x80) return strings::kNotUtf8;
        i += length;
    }
    return {};
}

}  // namespace

KeywordList ReadKeywordList(std::istream& in) {
    KeywordList list;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::size_t first = line.find_first_not_of(kBlanks);
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first, line.find_last_not_of(kBlanks) + 1 - first);
        if (std::string fault = Fault(line); !fault.empty()) {
            list.problems.push_back(
                text::FormatText(detect::strings::kAtLine, {std::to_string(number), fault}));
            continue;
        }
        list.keywords.push_back(line);
    }
    return list;
}

KeywordList ReadKeywordListFile(const std::string& path) {
    if (path == "-") return ReadKeywordList(std::cin);
    std::ifstream file(path, std::ios::binary);
    if (!file || std::filesystem::is_directory(path))
        throw UsageError(text::FormatText(strings::kCannotReadKeywordList, path));
    KeywordList list = ReadKeywordList(file);
    if (file.bad()) throw UsageError(text::FormatText(strings::kCannotReadKeywordList, path));
    return list;
}

}  // namespace kv::cli
