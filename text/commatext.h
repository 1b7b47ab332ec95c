// Comma text: a list written as entries joined by ","; an entry holding a character 0 to 32,
// a double quote or a comma is enclosed in double quotes, its double quotes doubled.
// Tests: tests/detect/pagekeywords_test.cpp (keyword lists), tests/http (proxy lists).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::text {

std::string CommaText(const std::vector<std::string>& entries);
// Whether an entry is written in quotes.
bool CommaEntryNeedsQuotes(std::string_view entry);
// Appends one entry, quoted when it needs it; the caller writes the "," between entries.
void AppendCommaEntry(std::string& out, std::string_view entry);

// Splits at commas and at unquoted characters 0 to 32, and removes the quoting.
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace kv::text
