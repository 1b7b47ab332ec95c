// Pure pieces of the result grids' look: the per-page hint text and the even-row shade.
// Tests: tests/app/gridlook_test.cpp.
#pragma once

#include <QColor>
#include <string>
#include <string_view>

namespace kv::app {

// Keywords listed in the per-page hint before "...": the hint must fit on a screen.
inline constexpr int kHintKeywordLimit = 17;

// The hint over a "META Keywords" cell: "Total: %d", CR LF, then the keywords of the row's
// keyword comma text sorted ignoring case, one per line, at most kHintKeywordLimit of them,
// the last followed by "..." when the limit was reached.
std::string KeywordsHint(std::string_view keywordCommaText);

// A colour darkened by 3 %: each of red, green and blue loses its 3 % rounded half up.
QColor ShadeColor(const QColor& color);

}  // namespace kv::app
