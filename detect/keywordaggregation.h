// The theme of the current keyword: from the cached result pages of the ticked engines, the
// frequency table (keyword, number of distinct pages) and the per-page table.
// Tests: tests/detect/keywordaggregation_test.cpp. Benchmark: bench/detect.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/tables.h"
#include "detect/themewindow.h"

namespace kv::detect {

class KeywordAggregator {
  public:
    KeywordAggregator(data::DataTables& tables, ThemeWindow& window);

    // Rebuilds both keyword tables completely; does nothing before the ready flag is set.
    // Failures go to the window's error log.
    void RefreshKeywordTables();

  private:
    // One page's keyword list with the texts its rows share.
    struct PageKeywords {
        std::vector<std::string> entries;
        std::vector<data::SharedText> entryTexts;
        data::SharedText commaText;
    };
    struct Count {
        std::string keyword;
        int count = 0;
    };

    void Rebuild();
    std::shared_ptr<const PageKeywords> KeywordsOf(const std::string& text);
    const std::string& CountKey(const std::string& keyword);

    data::DataTables& tables_;
    ThemeWindow& window_;

    // Rebuilds repeat during a run (after every stored page) over mostly the same pages, so
    // parsed pages and collation keys are kept; both memos are bounded.
    std::unordered_map<std::string, std::shared_ptr<const PageKeywords>> pageMemo_;
    std::unordered_map<std::string, std::string> countKeyMemo_;
};

}  // namespace kv::detect
