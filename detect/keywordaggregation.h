// The theme of the current keyword: from the cached result pages of the ticked engines, the
// frequency table (keyword, number of distinct pages) and the per-page table.
// Tests: tests/detect/keywordaggregation_test.cpp. Benchmark: bench/detect.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
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
    // One page's keyword list, each entry with its keyword class and the texts its rows share.
    struct PageKeywords {
        std::vector<int> classes;
        std::vector<data::SharedText> entryTexts;
        data::SharedText commaText;
    };

    void Rebuild();
    void TrimMemos();
    std::shared_ptr<const PageKeywords> KeywordsOf(const std::string& text);
    // Both collation keys of a spelling, from one ICU call.
    struct SpellingKeys {
        std::string respectingCase;
        std::string ignoringCase;
    };
    const SpellingKeys& KeysOf(std::string_view spelling);
    int ClassOf(const std::string& keyword);

    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    template <typename V>
    using StringMap = std::unordered_map<std::string, V, StringHash, std::equal_to<>>;

    data::DataTables& tables_;
    ThemeWindow& window_;

    // Rebuilds repeat during a run (after every stored page) over mostly the same pages, so
    // parsed pages and collation keys are kept between rebuilds, within bounds.
    StringMap<std::shared_ptr<const PageKeywords>> pageMemo_;
    StringMap<SpellingKeys> spellingKeys_;
    // Keyword classes: spellings that the collation respecting case finds equal share one.
    StringMap<int> classOfSpelling_;
    std::map<std::string, int> classOfKey_;
    std::vector<const std::string*> classKeys_;
};

}  // namespace kv::detect
