// The keywords a page declares in its structured data: one JSON-LD script block read with a
// real JSON parser behind size and depth guards, so a hostile block costs bounded time and
// memory. Only `keywords` properties are taken, from objects at any depth (an Article, a
// WebPage, the items of "@graph", a nested mainEntity).
// Tests: tests/detect/structureddata_test.cpp; fuzzed by tests/fuzz/structureddata_fuzz.cpp.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::detect {

// Real blocks are a few kilobytes; anything near a megabyte is no page's topic list.
inline constexpr std::size_t kMaxStructuredDataBytes = 1u << 20;
// Real blocks nest a handful of levels; the guard keeps the parser's recursion shallow.
inline constexpr int kMaxStructuredDataDepth = 64;
// What one page may make us parse in all, so many blocks cost no more than a few large ones.
inline constexpr std::size_t kMaxStructuredDataPerPage = 4u << 20;

// The texts of every `keywords` property of the block, in the block's order: a string value
// as it is (a comma text stays one text), each string of an array value, and the "name" of
// each object (a DefinedTerm) in it. std::nullopt when the block has no such property or is
// skipped: larger than kMaxStructuredDataBytes, nested deeper than kMaxStructuredDataDepth, or
// not valid JSON.
std::optional<std::vector<std::string>> StructuredDataKeywords(std::string_view json);

// True when a script element's type attribute names JSON-LD ("application/ld+json", letter
// case and parameters after ";" ignored).
bool IsStructuredDataType(std::string_view type);

}  // namespace kv::detect
