// Byte-level text helpers of the demo engine: query strings, percent and HTML escaping, and a
// seeded generator so every page is a pure function of its address.
// Tests: tests/tools/demopages_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace kv::demo {

// "%" and two hex digits become the byte; everything else stays ("+" too).
std::string PercentDecode(std::string_view text);
// Form decoding of a query value: "+" is a blank, then percent decoding.
std::string FormDecode(std::string_view text);
// Encodes every byte except A-Z, a-z, 0-9 and the bytes in `keep` as "%" + two upper-case
// hex digits.
std::string PercentEncode(std::string_view text, std::string_view keep);
// A keyword as the program puts it into a query: blanks become "+", letters, "+" and "." stay,
// every other byte (digits too) is percent-encoded. Links the engines write look the same.
std::string EncodeQueryWord(std::string_view word);
// Escapes &, <, >, " and ' for element text and quoted attribute values.
std::string HtmlEscape(std::string_view text);
// Undoes the escapes of the engines' own links: &amp; &lt; &gt; &quot; and &#38;.
std::string HtmlUnescape(std::string_view text);
// Upper-cases the first ASCII letter of every blank-separated word: "red shoes" gives
// "Red Shoes".
std::string TitleCase(std::string text);
// Drops everything between "<" and ">" (the markup the engines put into displayed addresses).
std::string StripTags(std::string_view text);

// Query parameters, form-decoded; the first occurrence of a name wins.
using QueryMap = std::map<std::string, std::string>;
QueryMap ParseQuery(std::string_view query);
// Reads a non-negative decimal number of at most 9 digits; `fallback` otherwise.
int ParseCount(const QueryMap& query, const std::string& name, int fallback);

// FNV-1a: stable across platforms and runs, so pages never change between runs.
std::uint32_t StableHash(std::string_view text);

// SplitMix-style generator for deterministic choices.
class SeededRandom {
  public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // A number in [0, bound); bound must be positive.
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }

  private:
    std::uint64_t state_;
};

}  // namespace kv::demo
