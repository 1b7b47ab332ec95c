#include "cli/progressline.h"

#include <cstdio>

#include "cli/clistrings.h"
#include "data/datastrings.h"

namespace kv::cli {

std::string ProgressLine(const detect::RunProgress& p) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, strings::kPagesFormat, p.pagesDone, p.pagesTotal,
                  p.pagesFailed);
    std::string line = buffer;
    if (!p.engine.empty()) {
        std::snprintf(buffer, sizeof buffer, strings::kEngineFormat, p.engine.c_str());
        line += buffer;
    }
    std::snprintf(buffer, sizeof buffer, strings::kElapsedFormat,
                  static_cast<double>(p.elapsed.count()) / 1000.0);
    return line + buffer;
}

std::string KeywordListTable(const std::vector<KeywordListRow>& rows) {
    std::string out = strings::kListTableHead;
    int stored = 0, failed = 0;
    for (const KeywordListRow& row : rows) {
        if (row.skipped) {
            out += row.keyword + "\t" + strings::kSkippedCached + "\t\t\n";
            continue;
        }
        const detect::RunSummary& s = row.summary;
        stored += s.pagesStored;
        failed += s.pagesFailed;
        out += row.keyword + "\t" + std::to_string(s.pagesStored) + "\t" +
               std::to_string(s.pagesFailed) + "\t" + std::to_string(s.themeSize) + "\n";
    }
    return out + data::strings::kTotal + "\t" + std::to_string(stored) + "\t" +
           std::to_string(failed) + "\t\n";
}

}  // namespace kv::cli
