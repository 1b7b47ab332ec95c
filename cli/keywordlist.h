// The keyword list of `detect --keywords-file`: one keyword a line, blank lines and lines
// beginning with "#" skipped.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace kv::cli {

struct KeywordList {
    std::vector<std::string> keywords;  // in file order, blanks around each removed
    std::vector<std::string> problems;  // "line N: ..." for each line that is no keyword
};

// A line holding control characters or bytes that are not UTF-8 is no keyword: it is
// reported and left out, and the others still run.
KeywordList ReadKeywordList(std::istream& in);

// From a file, or standard input for "-"; raises UsageError when the file cannot be read.
KeywordList ReadKeywordListFile(const std::string& path);

}  // namespace kv::cli
