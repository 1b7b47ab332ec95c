// Character counting and cutting of UTF-8 text: a "character" is a code point, and an
// invalid byte counts as one character on its own, so any byte string has a length.
// Tests: tests/text/utf8_test.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv::text {

// Length in bytes of the character starting at s[pos] (1 for an invalid byte).
std::size_t CharLength(std::string_view s, std::size_t pos);

std::size_t CharCount(std::string_view s);

// The first n characters of s; never splits a multi-byte character.
std::string_view CutChars(std::string_view s, std::size_t n);

// Appends code point cp (< 0x110000) encoded as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace kv::text
