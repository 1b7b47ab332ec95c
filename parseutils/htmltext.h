// HTML text functions of the template library: the plain text of an HTML fragment, decoding of
// the named and numeric character references the library knows, the n-th line of a text and a
// reversed text. Text is UTF-8; a decoded code of 128 to 255 becomes that character in UTF-8
// (128 to 159 as Windows-1252 maps them), so a result never gains a lone byte >= 0x80.
// Tests: tests/parseutils/htmltext_test.cpp; fuzzed by tests/fuzz/htmltext_fuzz.cpp.
#pragma once

#include <string>
#include <string_view>

namespace kv::parseutils {

// The text of all text nodes of the parsed fragment in document order (script and style
// content included), blanks collapsed when asked (TAB, LF and CR become blanks, runs of blanks
// one blank), then decoded by MyHtmlDecode; collapsing comes first, so "&nbsp;" blanks stay.
std::string RemoveHtmlFmt(std::string_view html, bool collapseBlanks);

// Replaces, as 37 replace-all passes in a fixed order, "&" name ";" of the known names (case
// ignored), then, as passes for n = 0 to 255, "&#" n ";" (decimal, no leading zeros). A pass
// sees what earlier passes produced: "&amp;quot;" gives '"' but "&amp;lt;" gives "&lt;".
// Nothing else is decoded. Runs in one linear scan per stage rather than 293 passes.
std::string MyHtmlDecode(std::string_view text);

// Line number index (zero-based) of text split at CR, LF or CR LF; a final line break starts
// no further line. The empty text for an index out of range.
std::string GetStrByIndex(std::string_view text, int index);

// The characters (code points; an invalid byte counts as one) in reverse order.
std::string InvertString(std::string_view text);

}  // namespace kv::parseutils
