// What a finished detection run left in the cache, for the exit code of kelvane-cli.
// Tests: tests/cli/cli_test.cpp (exit code 4).
#pragma once

#include <vector>

#include "data/tables.h"
#include "detect/detectionrun.h"

namespace kv::cli {

// The cache rows of the current keyword stored by the run that left `runList`: the page phase
// renews an engine's rows when it reaches the engine's first entry, so after a run that was
// not stopped every row of an engine in the list is new. 0 when the run list is empty.
int PagesStoredByRun(data::DataTables& tables, const std::vector<detect::RunEntry>& runList);

}  // namespace kv::cli
