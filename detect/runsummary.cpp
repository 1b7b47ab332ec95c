// The one-line summary of a run.
#include "detect/detectstrings.h"
#include "detect/runrequest.h"
#include "text/format.h"

namespace kv::detect {

std::string SummaryLine(const RunSummary& s) {
    std::string engines;
    for (const std::string& engine : s.enginesWithoutResults)
        engines += (engines.empty() ? "" : ", ") + engine;
    if (engines.empty()) engines = strings::kNone;
    return text::FormatText(strings::kRunSummary,
                            {std::to_string(s.themeSize), std::to_string(s.pagesStored),
                             std::to_string(s.pagesFailed), engines});
}

}  // namespace kv::detect
