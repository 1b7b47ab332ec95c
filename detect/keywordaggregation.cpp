#include "detect/keywordaggregation.h"

#include <algorithm>
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
    : tables_(tables), window_(window), emptyText_(data::MakeText("")) {}

void KeywordAggregator::TrimMemos() {
    // Pages refer to spellings and spellings to classes, so all go together; only between
    // rebuilds.
    if (pageMemo_.size() < kPageMemoLimit && spellings_.size() < kKeyMemoLimit) return;
    pageMemo_.clear();
    spellings_.clear();
    classOfKey_.clear();
    classKeys_.clear();
}

const KeywordAggregator::Spelling& KeywordAggregator::SpellingOf(std::string_view piece) {
    if (auto it = spellings_.find(piece); it != spellings_.end()) return it->second;
    Spelling spelling;
    std::string keyRespectingCase = text::SortKeyRespectingCase(piece);
    spelling.keyIgnoringCase = text::IgnoringCasePartOfKey(keyRespectingCase);
    auto [byKey, added] =
        classOfKey_.try_emplace(std::move(keyRespectingCase), static_cast<int>(classKeys_.size()));
    if (added) classKeys_.push_back(&byKey->first);
    spelling.keywordClass = byKey->second;
    spelling.text = data::MakeText(piece);
    return spellings_.emplace(std::string(piece), std::move(spelling)).first->second;
}

const KeywordAggregator::PageKeywords& KeywordAggregator::KeywordsOf(
    const data::SharedText& text) {
    if (auto it = pageMemo_.find(text.get()); it != pageMemo_.end()) return it->second.keywords;
    PageMemo memo{text, {}};
    auto& entries = memo.keywords.entries;
    ForEachPageKeywordPiece(*text,
                            [&](std::string_view piece) { entries.push_back(&SpellingOf(piece)); });
    OrderPageKeywords(entries, [](const Spelling* s) -> const std::string& {
        return s->keyIgnoringCase;
    });
    std::string commaText;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i) commaText += ',';
        text::AppendCommaEntry(commaText, *entries[i]->text);
    }
    memo.keywords.commaText = data::MakeText(commaText);
    return pageMemo_.emplace(text.get(), std::move(memo)).first->second.keywords;
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
    TrimMemos();

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

    StringMap<bool> engineTicked;
    std::unordered_set<std::string> seen;           // addresses by their key ignoring case
    std::vector<int> counts;                        // per keyword class
    std::vector<const data::SharedText*> spelling;  // the first spelling met in this rebuild
    std::vector<int> used;

    const int rows = cache.RecordCount();
    for (int i = 0; i < rows; ++i) {
        const data::Cell& engineCell = cache.CellAt(i, cacheEngine);
        const std::string_view engine = engineCell.text ? std::string_view(*engineCell.text) : "";
        auto tick = engineTicked.find(engine);
        if (tick == engineTicked.end()) {
            const bool found = std::any_of(
                ticked.begin(), ticked.end(),
                [&](const std::string& name) { return text::SameIgnoringCase(name, engine); });
            tick = engineTicked.emplace(std::string(engine), found).first;
        }
        if (!tick->second) continue;

        const data::Cell& urlCell = cache.CellAt(i, cacheUrl);
        const data::SharedText& url = urlCell.text ? urlCell.text : emptyText_;
        if (!seen.insert(text::SortKeyIgnoringCase(*url)).second) continue;

        const data::Cell& keywordsCell = cache.CellAt(i, cacheKeywords);
        const data::SharedText& keywords = keywordsCell.text ? keywordsCell.text : emptyText_;
        const std::int32_t rank = cache.CellAt(i, cacheRank).number;
        const PageKeywords& page = KeywordsOf(keywords);
        if (counts.size() < classKeys_.size()) {
            counts.resize(classKeys_.size());
            spelling.resize(classKeys_.size());
        }

        for (const Spelling* entry : page.entries) {
            res2.Append();
            res2.SetText(fKeyword, entry->text);
            res2.SetInteger(fRank, rank);
            res2.SetText(fUrl, url);
            res2.SetText(fKeywords, keywords);
            res2.SetText(fKeywords2, page.commaText);
            const auto c = static_cast<std::size_t>(entry->keywordClass);
            if (counts[c]++ == 0) {
                spelling[c] = &entry->text;
                used.push_back(entry->keywordClass);
            }
            res2.Post();
        }
    }

    // The frequency table is appended in the collation order respecting case.
    std::sort(used.begin(), used.end(), [this](int a, int b) {
        return *classKeys_[static_cast<std::size_t>(a)] < *classKeys_[static_cast<std::size_t>(b)];
    });
    const int fResKeyword = res.FieldIndex("Keyword");
    const int fResCount = res.FieldIndex("Count");
    for (int c : used) {
        res.Append();
        res.SetText(fResKeyword, *spelling[static_cast<std::size_t>(c)]);
        res.SetInteger(fResCount, counts[static_cast<std::size_t>(c)]);
        res.Post();
    }
}

}  // namespace kv::detect
