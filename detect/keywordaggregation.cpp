#include "detect/keywordaggregation.h"

#include <map>
#include <unordered_set>

#include "detect/pagekeywords.h"
#include "text/textcompare.h"

namespace kv::detect {

namespace {

// Memo sizes: far above one keyword's pages and keywords, small enough to never matter.
constexpr std::size_t kPageMemoLimit = 20000;
constexpr std::size_t kKeyMemoLimit = 200000;

}  // namespace

KeywordAggregator::KeywordAggregator(data::DataTables& tables, ThemeWindow& window)
    : tables_(tables), window_(window) {}

std::shared_ptr<const KeywordAggregator::PageKeywords> KeywordAggregator::KeywordsOf(
    const std::string& text) {
    if (auto it = pageMemo_.find(text); it != pageMemo_.end()) return it->second;
    auto page = std::make_shared<PageKeywords>();
    page->entries = ParsePageKeywords(text);
    for (const auto& e : page->entries) page->entryTexts.push_back(data::MakeText(e));
    page->commaText = data::MakeText(KeywordCommaText(page->entries));
    if (pageMemo_.size() >= kPageMemoLimit) pageMemo_.clear();
    pageMemo_.emplace(text, page);
    return page;
}

const std::string& KeywordAggregator::CountKey(const std::string& keyword) {
    if (auto it = countKeyMemo_.find(keyword); it != countKeyMemo_.end()) return it->second;
    if (countKeyMemo_.size() >= kKeyMemoLimit) countKeyMemo_.clear();
    return countKeyMemo_.emplace(keyword, text::SortKeyRespectingCase(keyword)).first->second;
}

void KeywordAggregator::RefreshKeywordTables() {
    if (!window_.ReadyFlag()) return;
    window_.SetWaitCursor(true);
    window_.SetCountFooter("");
    auto& res = tables_.KeywordResClientDataSet;
    auto& res2 = tables_.KeywordRes2ClientDataSet;
    res.DisableControls();
    res2.DisableControls();
    // Without its link the per-page table takes every row and does not refilter per append.
    const data::MasterLink link = res2.GetMasterLink();
    res2.RemoveMasterLink();
    try {
        Rebuild();
        window_.SetCountFooter(std::to_string(res.RecordCount()));
    } catch (const std::exception& e) {
        window_.LogError(e.what());
    }
    window_.SetWaitCursor(false);
    res2.SetMasterLink(link);
    res.First();
    res2.EnableControls();
    res.EnableControls();
}

void KeywordAggregator::Rebuild() {
    auto& cache = tables_.SECacheClientDataSet;
    auto& res = tables_.KeywordResClientDataSet;
    auto& res2 = tables_.KeywordRes2ClientDataSet;
    res.EmptyTable();
    res2.EmptyTable();

    const std::vector<std::string> ticked = window_.TickedEngineNames();
    const int cacheEngine = cache.FieldIndex("SENAME");
    const int cacheUrl = cache.FieldIndex("url");
    const int cacheRank = cache.FieldIndex("Rank");
    const int cacheKeywords = cache.FieldIndex("Keywords");
    const int fKeyword = res2.FieldIndex("Keyword");
    const int fRank = res2.FieldIndex("Rank");
    const int fUrl = res2.FieldIndex("url");
    const int fKeywords = res2.FieldIndex("Keywords");
    const int fKeywords2 = res2.FieldIndex("Keywords2");

    std::unordered_map<std::string, bool> engineTicked;
    std::unordered_set<std::string> seen;  // addresses by their key ignoring case
    // Counts in the collation order respecting case; exact spellings find their entry fast.
    std::map<std::string, Count> counts;
    std::unordered_map<std::string, Count*> countOf;

    const int rows = cache.RecordCount();
    for (int i = 0; i < rows; ++i) {
        const std::string engine = cache.CellText(i, cacheEngine);
        auto tick = engineTicked.find(engine);
        if (tick == engineTicked.end()) {
            bool found = false;
            for (const auto& name : ticked) found = found || text::SameIgnoringCase(name, engine);
            tick = engineTicked.emplace(engine, found).first;
        }
        if (!tick->second) continue;

        const data::Cell& urlCell = cache.CellAt(i, cacheUrl);
        const data::SharedText url = urlCell.text ? urlCell.text : data::MakeText("");
        if (!seen.insert(text::SortKeyIgnoringCase(*url)).second) continue;

        const data::Cell& keywordsCell = cache.CellAt(i, cacheKeywords);
        const data::SharedText keywords =
            keywordsCell.text ? keywordsCell.text : data::MakeText("");
        const std::int32_t rank = cache.CellAt(i, cacheRank).number;
        const auto page = KeywordsOf(*keywords);

        for (std::size_t k = 0; k < page->entries.size(); ++k) {
            const std::string& entry = page->entries[k];
            res2.Append();
            res2.SetText(fKeyword, page->entryTexts[k]);
            res2.SetInteger(fRank, rank);
            res2.SetText(fUrl, url);
            res2.SetText(fKeywords, keywords);
            res2.SetText(fKeywords2, page->commaText);
            auto exact = countOf.find(entry);
            if (exact == countOf.end()) {
                Count& c = counts.try_emplace(CountKey(entry), Count{entry, 0}).first->second;
                exact = countOf.emplace(entry, &c).first;
            }
            ++exact->second->count;
            res2.Post();
        }
    }

    const int fResKeyword = res.FieldIndex("Keyword");
    const int fResCount = res.FieldIndex("Count");
    for (const auto& [key, c] : counts) {
        res.Append();
        res.SetString(fResKeyword, c.keyword);
        res.SetInteger(fResCount, c.count);
        res.Post();
    }
}

}  // namespace kv::detect
