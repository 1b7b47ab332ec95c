// Compile stage of the pattern engine: pattern tree -> program for the backtracking matcher,
// plus the search hints (anchoring, literal prefix, first bytes). Internal; tests:
// tests/regexpr/.
#pragma once

#include "parseutils/regexpr_program.h"

namespace kv::regexpr {

Program CompileTree(const Tree& tree);

}  // namespace kv::regexpr
