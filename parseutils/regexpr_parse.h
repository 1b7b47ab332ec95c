// Parse stage of the pattern engine: pattern text -> pattern tree, with every compile error
// of the dialect. Internal; tests: tests/regexpr/regexpr_syntax_test.cpp.
#pragma once

#include <string_view>

#include "parseutils/regexpr_program.h"

namespace kv::regexpr {

// Parses the pattern under the initial modifiers (ModifierBit flags). Raises ERegExpr.
Tree ParsePattern(std::string_view pattern, unsigned modifiers);

}  // namespace kv::regexpr
