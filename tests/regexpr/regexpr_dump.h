// Test helper: a compact dump of a search result, so case tables state whole outcomes.
// "none" without a match; else every group 0..GroupCount as 'text' or - (did not take part),
// e.g. "'ab' 'b' -".
#pragma once

#include <string>
#include <string_view>

#include "parseutils/regexpr.h"

namespace kv::testing {

inline std::string DumpMatch(const TRegExpr& re) {
    if (re.SubExprMatchCount() < 0) return "none";
    std::string out;
    for (int g = 0; g <= re.GroupCount(); ++g) {
        if (g > 0) out += ' ';
        out += re.Matched(g) ? "'" + re.Match(g) + "'" : "-";
    }
    return out;
}

// Compiles with the default modifiers, searches once from the start and dumps.
inline std::string FirstMatch(std::string_view pattern, std::string_view text) {
    TRegExpr re;
    re.SetExpression(pattern);
    re.Exec(text);
    return DumpMatch(re);
}

// Every match of a repeated search, separated by " | ".
inline std::string AllMatches(TRegExpr& re, std::string_view text) {
    std::string out;
    for (bool found = re.Exec(text); found; found = re.ExecNext()) {
        if (!out.empty()) out += " | ";
        out += DumpMatch(re);
    }
    return out.empty() ? "none" : out;
}

}  // namespace kv::testing
