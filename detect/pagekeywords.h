// How a page's stored META keywords text is read, and the keyword comma text of the
// per-page table that holds one page's keyword list.
// Tests: tests/detect/pagekeywords_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/commatext.h"

namespace kv::detect {

// The page keyword list: the text split at ",", ";" and line breaks (a NUL ends it), pieces
// trimmed of characters 0 to 32, empty pieces dropped; sorted in the user locale's order
// ignoring case, with case variants merged into the spelling that comes first in the text.
std::vector<std::string> ParsePageKeywords(std::string_view text);

// The pieces of such a text, for callers that keep their own records of spellings (the theme
// rebuild): add(piece) for every trimmed, non-empty piece in text order.
template <typename Add>
void ForEachPageKeywordPiece(std::string_view text, Add&& add) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    const auto isSeparator = [](char c) { return c == ',' || c == ';' || c == '\r' || c == '\n'; };
    text = text.substr(0, text.find('\0'));
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = pos;
        while (end < text.size() && !isSeparator(text[end])) ++end;
        std::string_view piece = text.substr(pos, end - pos);
        while (!piece.empty() && isBlank(piece.front())) piece.remove_prefix(1);
        while (!piece.empty() && isBlank(piece.back())) piece.remove_suffix(1);
        if (!piece.empty()) add(piece);
        pos = end + 1;
    }
}

// The keyword comma text of a page keyword list (the value of Keywords2), and its reader.
inline std::string KeywordCommaText(const std::vector<std::string>& entries) {
    return text::CommaText(entries);
}
inline std::vector<std::string> SplitKeywordCommaText(std::string_view text) {
    return text::SplitCommaText(text);
}

}  // namespace kv::detect
