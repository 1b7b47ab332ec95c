#include "detect/pagekeywords.h"

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
    OrderPageKeywords(pieces, [](const Piece& p) -> const std::string& { return *p.key; });
    std::vector<std::string> entries;
    entries.reserve(pieces.size());
    for (const auto& p : pieces) entries.emplace_back(p.text);
    return entries;
}

}  // namespace kv::detect
