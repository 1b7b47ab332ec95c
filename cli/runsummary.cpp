#include "cli/runsummary.h"

#include <set>
#include <string>

namespace kv::cli {

int PagesStoredByRun(data::DataTables& tables, const std::vector<detect::RunEntry>& runList) {
    std::set<std::string> engines;
    for (const detect::RunEntry& entry : runList) engines.insert(entry.engine);
    data::Table& cache = tables.SECacheClientDataSet;
    const int engineField = cache.FieldIndex("SENAME");
    int stored = 0;
    for (int row = 0; row < cache.RecordCount(); ++row)
        if (engines.contains(cache.CellText(row, engineField))) ++stored;
    return stored;
}

}  // namespace kv::cli
