// `kelvane-cli engines ...`: the engine definitions of the program folder listed, checked,
// exported and imported; and the engine names of the other commands resolved against them.
#pragma once

#include <string>
#include <vector>

#include "data/table.h"

namespace kv::cli {

// Exit code of `engines check` when some engine does not work.
inline constexpr int kExitEnginesNotWorking = 3;

// args: the words after "engines". Returns the exit code.
int RunEngines(const std::vector<std::string>& args);

// The engines to ask, in table order: the named ones (ignoring ASCII case; an unknown name
// raises UsageError), or without names every engine whose definition has a query address.
std::vector<std::string> ResolveEngines(data::Table& se, const std::vector<std::string>& names);

}  // namespace kv::cli
