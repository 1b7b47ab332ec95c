#include "cli/progressline.h"

#include <cstdio>

namespace kv::cli {

namespace {

constexpr const char* kPagesFormat = "%d/%d pages, %d failed";
constexpr const char* kEngineFormat = ", asking %s";
constexpr const char* kElapsedFormat = ", %.1f s";
constexpr const char* kTableHead = "Keyword\tStored\tFailed\tTheme\n";
constexpr const char* kSkipped = "cached";
constexpr const char* kTotal = "Total:";

}  // namespace

std::string ProgressLine(const detect::RunProgress& p) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, kPagesFormat, p.pagesDone, p.pagesTotal, p.pagesFailed);
    std::string line = buffer;
    if (!p.engine.empty()) {
        std::snprintf(buffer, sizeof buffer, kEngineFormat, p.engine.c_str());
        line += buffer;
    }
    std::snprintf(buffer, sizeof buffer, kElapsedFormat,
                  static_cast<double>(p.elapsed.count()) / 1000.0);
    return line + buffer;
}

std::string KeywordListTable(const std::vector<KeywordListRow>& rows) {
    std::string out = kTableHead;
    int stored = 0, failed = 0;
    for (const KeywordListRow& row : rows) {
        if (row.skipped) {
            out += row.keyword + "\t" + kSkipped + "\t\t\n";
            continue;
        }
        const detect::RunSummary& s = row.summary;
        stored += s.pagesStored;
        failed += s.pagesFailed;
        out += row.keyword + "\t" + std::to_string(s.pagesStored) + "\t" +
               std::to_string(s.pagesFailed) + "\t" + std::to_string(s.themeSize) + "\n";
    }
    return out + kTotal + "\t" + std::to_string(stored) + "\t" + std::to_string(failed) + "\t\n";
}

}  // namespace kv::cli
