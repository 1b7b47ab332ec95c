// How a page's stored META keywords text is read, and the keyword comma text of the
// per-page table that holds one page's keyword list.
// Tests: tests/detect/pagekeywords_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/commatext.h"

namespace kv::detect {

// The page keyword list: the text split at ",", ";" and line breaks (a NUL ends it), pieces
// trimmed of characters 0 to 32, empty pieces dropped; sorted in the user locale's order
// ignoring case, with case variants merged into the spelling that comes first in the text.
std::vector<std::string> ParsePageKeywords(std::string_view text);

// The same with the sort keys ignoring case supplied by the caller (a cache of them).
using SortKeyFunction = std::function<const std::string&(std::string_view)>;
std::vector<std::string> ParsePageKeywords(std::string_view text, const SortKeyFunction& keyOf);

// The keyword comma text of a page keyword list (the value of Keywords2), and its reader.
inline std::string KeywordCommaText(const std::vector<std::string>& entries) {
    return text::CommaText(entries);
}
inline std::vector<std::string> SplitKeywordCommaText(std::string_view text) {
    return text::SplitCommaText(text);
}

}  // namespace kv::detect
