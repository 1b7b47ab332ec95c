// The one progress line that `detect` draws on a terminal, and the summary table of a keyword
// list.
#pragma once

#include <string>
#include <vector>

#include "detect/runrequest.h"

namespace kv::cli {

// "12/40 pages, 1 failed, asking Google, 3.2 s" (no engine part once every engine answered).
std::string ProgressLine(const detect::RunProgress& progress);

struct KeywordListRow {
    std::string keyword;
    bool skipped = false;  // --skip-cached found rows for every engine
    detect::RunSummary summary;
};

// "Keyword<TAB>Stored<TAB>Failed<TAB>Theme" then one line a keyword ("cached" for a skipped
// one) and a "Total:" line with the sums of the keywords run.
std::string KeywordListTable(const std::vector<KeywordListRow>& rows);

}  // namespace kv::cli
