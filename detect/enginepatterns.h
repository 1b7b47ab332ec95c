// The pattern fields of an engine definition, compiled before the engine is asked, so that a
// broken or oversized pattern is reported with the engine and the field it is in.
// Tests: tests/detect/enginepatterns_test.cpp.
#pragma once

#include <string>

#include "data/table.h"

namespace kv::detect {

// Compiles the patterns of the current row of the engine table; a compile error is raised
// again as ERegExpr "Search engine '<name>', field <field>: <error>".
void CheckEnginePatterns(data::Table& engines, const std::string& engineName);

}  // namespace kv::detect
