// The three text comparisons of the program and 8-bit (ASCII-only) case mapping.
// Text is UTF-8 bytes. "Exact" compares bytes; the two locale comparisons use the ICU
// collator of the process locale (root when the locale is unset, C or POSIX).
// Tests: tests/text/textcompare_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace kv::text {

// Byte equality, case-sensitive.
inline bool SameExact(std::string_view a, std::string_view b) {
    return a == b;
}

// The user locale's comparison ignoring case (<0, 0, >0).
int CompareIgnoringCase(std::string_view a, std::string_view b);
inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b) == 0;
}

// The user locale's collation respecting case: 'SEO' and 'seo' differ.
int CollateRespectingCase(std::string_view a, std::string_view b);

// Binary sort keys of the two locale orders: comparing keys bytewise gives the same
// result as the comparison, so sorted containers can compare keys with memcmp.
std::string SortKeyIgnoringCase(std::string_view s);
std::string SortKeyRespectingCase(std::string_view s);

// The key ignoring case contained in a key respecting case: keys hold their levels in order,
// separated by 0x01, so it is the part before the second separator. Saves a second ICU call.
std::string_view IgnoringCasePartOfKey(std::string_view respectingCaseKey);

// Names the collation locale ("de_DE", "" for root) for this process; tests pin it.
// Without a call, the locale comes from LC_ALL, LC_COLLATE or LANG.
void SetCollationLocale(const std::string& locale);

// 8-bit case mapping: ASCII letters only, other bytes unchanged.
char AsciiUpper(char c);
char AsciiLower(char c);
std::string AsciiUpperCase(std::string_view s);
std::string AsciiLowerCase(std::string_view s);
bool SameAsciiNoCase(std::string_view a, std::string_view b);
int CompareAsciiNoCase(std::string_view a, std::string_view b);

}  // namespace kv::text
