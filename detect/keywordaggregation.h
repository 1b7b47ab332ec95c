// The theme of the current keyword: from the cached result pages of the ticked engines, the
// frequency table (keyword, number of distinct pages) and the per-page table.
// Tests: tests/detect/keywordaggregation_test.cpp. Benchmark: bench/detect.
#pragma once

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
    // Spellings that differ only in case count as one keyword (off by default).
    void SetCaseVariantsAsOne(bool on) { caseVariantsAsOne_ = on; }

  private:
    // A keyword spelling met on a cached page. Its group (the spellings the collation ignoring
    // case finds equal) orders a page's list and merges its case variants; its class (the
    // spellings equal respecting case) is what the frequency table counts.
    struct Spelling {
        int group = 0;
        int keywordClass = 0;
        data::SharedText text;   // shared by every row that shows this spelling
        std::string commaEntry;  // its entry in a keyword comma text, when that is not the text
        const std::string& CommaEntry() const { return commaEntry.empty() ? *text : commaEntry; }
    };
    // One page's keyword list and its keyword comma text.
    struct PageKeywords {
        data::SharedText text;  // keeps the address the memo finds it by in use
        std::vector<const Spelling*> entries;
        data::SharedText commaText;
    };
    // A row of the cache that takes part in this rebuild.
    struct PageRow {
        const data::SharedText* url;
        const data::SharedText* keywords;
        const data::SharedText* sources;  // where the page declared them; null for old rows
        std::int32_t rank;
        const PageKeywords* page;
    };

    void Rebuild();
    void TrimMemos();
    std::vector<PageRow> CollectPages();
    // A page's entries; a page met for the first time has them in text order and no comma text
    // until FinishPage.
    PageKeywords& KeywordsOf(const data::SharedText& text);
    const Spelling& SpellingOf(std::string_view piece);
    const std::string& AddressKey(const data::SharedText& url);
    void RankNewGroups();
    void FinishPage(PageKeywords& page);
    void AppendRows(const std::vector<PageRow>& pages);

    data::DataTables& tables_;
    ThemeWindow& window_;

    // Rebuilds repeat during a run (after every stored page) over mostly the same pages, so
    // parsed pages, spellings and address keys are kept between rebuilds, within bounds. Pages
    // and addresses are found by the address of their cached text, which a changed row
    // replaces rather than alters.
    std::unordered_map<const std::string*, PageKeywords> pageMemo_;
    std::unordered_map<const std::string*, std::pair<data::SharedText, std::string>> addressKeys_;
    // Keyed by views of the spellings' own texts.
    std::unordered_map<std::string_view, Spelling> spellings_;
    // Groups and classes by their collation keys, ignoring and respecting case.
    std::unordered_map<std::string, int> classOfKey_;
    std::unordered_map<std::string_view, int> groupOfKey_;  // views into classOfKey_'s keys
    std::vector<std::string_view> groupKeys_;
    struct KeywordClass {
        const std::string* key;
        int group;
    };
    std::vector<KeywordClass> classes_;
    // The groups in collation order and each group's place in it; new groups are merged in
    // once per rebuild.
    std::vector<int> groupOrder_;
    std::vector<int> groupRank_;
    // Per group, the last page that met it, so a page keeps only a group's first spelling.
    std::vector<std::size_t> groupSeenOnPage_;
    std::size_t pagesMade_ = 0;
    std::vector<const Spelling*> pieces_;                  // a page's entries while they are read
    std::vector<std::pair<int, const Spelling*>> ranked_;  // and while they are ordered
    const data::SharedText emptyText_;
    bool caseVariantsAsOne_ = false;
};

}  // namespace kv::detect
