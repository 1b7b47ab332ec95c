#include "detect/pagekeywords.h"

#include <algorithm>
#include <unordered_map>

#include "text/textcompare.h"

namespace kv::detect {

std::vector<std::string> ParsePageKeywords(std::string_view text) {
    struct Piece {
        std::string_view text;
        const std::string* key;
    };
    std::unordered_map<std::string_view, std::string> keys;
    std::vector<Piece> pieces;
    ForEachPageKeywordPiece(text, [&](std::string_view piece) {
        auto [it, added] = keys.try_emplace(piece);
        if (added) it->second = text::SortKeyIgnoringCase(piece);
        pieces.push_back({piece, &it->second});
    });
    // A stable sort keeps text order among case variants, so the first spelling survives.
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return *a.key < *b.key; });
    pieces.erase(std::unique(pieces.begin(), pieces.end(),
                             [](const Piece& a, const Piece& b) { return *a.key == *b.key; }),
                 pieces.end());
    std::vector<std::string> entries;
    entries.reserve(pieces.size());
    for (const auto& p : pieces) entries.emplace_back(p.text);
    return entries;
}

}  // namespace kv::detect
