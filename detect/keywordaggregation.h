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
    // A keyword spelling met on a cached page: its key ignoring case (which orders a page's
    // list and merges its case variants), its keyword class (spellings the collation
    // respecting case finds equal share one) and the text every row showing it shares.
    struct Spelling {
        std::string keyIgnoringCase;
        int keywordClass = 0;
        data::SharedText text;
    };
    // One page's keyword list and its keyword comma text.
    struct PageKeywords {
        std::vector<const Spelling*> entries;
        data::SharedText commaText;
    };
    struct PageMemo {
        data::SharedText text;  // keeps the address the memo is found by in use
        PageKeywords keywords;
    };

    void Rebuild();
    void TrimMemos();
    const PageKeywords& KeywordsOf(const data::SharedText& text);
    const Spelling& SpellingOf(std::string_view piece);

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
    // parsed pages and spellings are kept between rebuilds, within bounds. A page is found by
    // the address of its cached text, which a changed row replaces rather than alters.
    std::unordered_map<const std::string*, PageMemo> pageMemo_;
    StringMap<Spelling> spellings_;
    std::map<std::string, int> classOfKey_;  // by the collation key respecting case
    std::vector<const std::string*> classKeys_;
    const data::SharedText emptyText_;
};

}  // namespace kv::detect
