#include "detect/pagekeywords.h"

#include <algorithm>
#include <unordered_map>

#include "text/textcompare.h"

namespace kv::detect {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsSeparator(char c) {
    return c == ',' || c == ';' || c == '\r' || c == '\n';
}

}  // namespace

std::vector<std::string> ParsePageKeywords(std::string_view text) {
    std::unordered_map<std::string, std::string> keys;
    return ParsePageKeywords(text, [&keys](std::string_view piece) -> const std::string& {
        auto [it, added] = keys.try_emplace(std::string(piece));
        if (added) it->second = text::SortKeyIgnoringCase(piece);
        return it->second;
    });
}

std::vector<std::string> ParsePageKeywords(std::string_view text, const SortKeyFunction& keyOf) {
    text = text.substr(0, text.find('\0'));
    struct Piece {
        const std::string* key;  // owned by keyOf's cache
        std::string_view text;
    };
    std::vector<Piece> pieces;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = pos;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        std::string_view piece = text.substr(pos, end - pos);
        while (!piece.empty() && IsBlank(piece.front())) piece.remove_prefix(1);
        while (!piece.empty() && IsBlank(piece.back())) piece.remove_suffix(1);
        if (!piece.empty()) pieces.push_back({&keyOf(piece), piece});
        pos = end + 1;
    }
    // A stable sort keeps text order among case variants, so the first spelling survives.
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return *a.key < *b.key; });
    std::vector<std::string> entries;
    entries.reserve(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (i == 0 || *pieces[i].key != *pieces[i - 1].key) entries.emplace_back(pieces[i].text);
    return entries;
}

}  // namespace kv::detect
