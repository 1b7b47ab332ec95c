// The field names of the history, the cache and the two theme tables, spelled once, so a
// typo is a compile error rather than a run-time "no such field" (the engine table's are in
// data/enginefields.h). They are the stored column names: files written by earlier versions
// load only while they stay exactly as they are.
// Tests: tests/data/tables_test.cpp.
#pragma once

#include <string_view>

namespace kv::data {

// The keyword history (Word.cds).
namespace word_fields {

inline constexpr std::string_view Word = "word";

}  // namespace word_fields

// The page cache (SECache.cds): one row per page an engine ranked for a keyword of the history.
namespace secache_fields {

using word_fields::Word;  // the link to the history
inline constexpr std::string_view SEName = "SENAME";
inline constexpr std::string_view Rank = "Rank";
inline constexpr std::string_view Url = "url";
inline constexpr std::string_view Keywords = "Keywords";
// Optional: caches written before keyword sources existed lack it.
inline constexpr std::string_view Sources = "Sources";

}  // namespace secache_fields

// The theme: on how many pages each keyword is declared.
namespace keywordres_fields {

inline constexpr std::string_view Keyword = "Keyword";
inline constexpr std::string_view Count = "Count";

}  // namespace keywordres_fields

// The theme's pages: one row per keyword and page declaring it.
namespace keywordres2_fields {

using keywordres_fields::Keyword;  // the link to the theme
// The page's own columns, named as in the cache row they are copied from.
using secache_fields::Keywords;
using secache_fields::Rank;
using secache_fields::Sources;
using secache_fields::Url;
// The page's keywords as one comma-separated text, for the grid's hint.
inline constexpr std::string_view Keywords2 = "Keywords2";

}  // namespace keywordres2_fields

}  // namespace kv::data
