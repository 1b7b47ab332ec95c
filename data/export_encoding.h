// Private to the grid export: the character encodings that the Rich Text and workbook
// readers expect of text that is UTF-8 here. An invalid UTF-8 byte stands for the
// Windows-1252 character of that byte, the code page the formats were read in before.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kv::data::exportdetail {

// Calls visit for each character: its code point and, for an invalid byte, the byte (else -1).
void ForEachCharacter(std::string_view utf8,
                      const std::function<void(char32_t codePoint, int invalidByte)>& visit);

// The text in Windows-1252, or nothing when a character has no place in that code page.
std::optional<std::string> ToWindows1252(std::string_view utf8);

// The code point as one UTF-16 code unit or a surrogate pair.
void AppendUtf16(std::u16string& out, char32_t codePoint);

// The text as UTF-16 code units (surrogate pairs above U+FFFF).
std::u16string ToUtf16(std::string_view utf8);

}  // namespace kv::data::exportdetail
