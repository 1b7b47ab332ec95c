#include "detect/keywordaggregation.h"

#include <algorithm>
#include <unordered_set>

#include "data/tablefields.h"
#include "detect/casevariants.h"
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
    // Pages refer to spellings and spellings to groups and classes, so all go together; only
    // between rebuilds.
    if (pageMemo_.size() < kPageMemoLimit && addressKeys_.size() < kPageMemoLimit &&
        spellings_.size() < kKeyMemoLimit)
        return;
    pageMemo_.clear();
    addressKeys_.clear();
    spellings_.clear();
    groupOfKey_.clear();
    groupKeys_.clear();
    classOfKey_.clear();
    classes_.clear();
    groupOrder_.clear();
    groupRank_.clear();
    groupSeenOnPage_.clear();
}

const KeywordAggregator::Spelling& KeywordAggregator::SpellingOf(std::string_view piece) {
    if (auto it = spellings_.find(piece); it != spellings_.end()) return it->second;
    auto [byKey, newClass] = classOfKey_.try_emplace(text::SortKeyRespectingCase(piece),
                                                     static_cast<int>(classes_.size()));
    if (newClass) {
        // A key respecting case begins with the key ignoring case, which names the group.
        const std::string_view groupKey = text::IgnoringCasePartOfKey(byKey->first);
        auto [group, newGroup] =
            groupOfKey_.try_emplace(groupKey, static_cast<int>(groupKeys_.size()));
        if (newGroup) {
            groupKeys_.push_back(groupKey);
            groupSeenOnPage_.push_back(0);
        }
        classes_.push_back({&byKey->first, group->second});
    }
    Spelling spelling;
    spelling.keywordClass = byKey->second;
    spelling.group = classes_[static_cast<std::size_t>(spelling.keywordClass)].group;
    spelling.text = data::MakeText(piece);
    if (text::CommaEntryNeedsQuotes(piece)) text::AppendCommaEntry(spelling.commaEntry, piece);
    const std::string_view key = *spelling.text;  // the text's characters never move
    return spellings_.emplace(key, std::move(spelling)).first->second;
}

const std::string& KeywordAggregator::AddressKey(const data::SharedText& url) {
    if (auto it = addressKeys_.find(url.get()); it != addressKeys_.end()) return it->second.second;
    std::string key = text::SortKeyIgnoringCase(*url);
    return addressKeys_.try_emplace(url.get(), url, std::move(key)).first->second.second;
}

KeywordAggregator::PageKeywords& KeywordAggregator::KeywordsOf(const data::SharedText& text) {
    if (auto it = pageMemo_.find(text.get()); it != pageMemo_.end()) return it->second;
    // In text order, the first spelling of each group; FinishPage orders them.
    const std::size_t thisPage = ++pagesMade_;
    pieces_.clear();
    ForEachPageKeywordPiece(*text, [&](std::string_view piece) {
        const Spelling& spelling = SpellingOf(piece);
        std::size_t& seenOn = groupSeenOnPage_[static_cast<std::size_t>(spelling.group)];
        if (seenOn == thisPage) return;
        seenOn = thisPage;
        pieces_.push_back(&spelling);
    });
    PageKeywords page;
    page.text = text;
    page.entries.assign(pieces_.begin(), pieces_.end());
    return pageMemo_.emplace(text.get(), std::move(page)).first->second;
}

void KeywordAggregator::RankNewGroups() {
    const auto byKey = [this](int a, int b) {
        return groupKeys_[static_cast<std::size_t>(a)] < groupKeys_[static_cast<std::size_t>(b)];
    };
    const std::size_t ranked = groupOrder_.size();
    if (ranked == groupKeys_.size()) return;
    for (std::size_t g = ranked; g < groupKeys_.size(); ++g)
        groupOrder_.push_back(static_cast<int>(g));
    std::sort(groupOrder_.begin() + static_cast<std::ptrdiff_t>(ranked), groupOrder_.end(), byKey);
    std::inplace_merge(groupOrder_.begin(),
                       groupOrder_.begin() + static_cast<std::ptrdiff_t>(ranked), groupOrder_.end(),
                       byKey);
    groupRank_.resize(groupOrder_.size());
    for (std::size_t r = 0; r < groupOrder_.size(); ++r)
        groupRank_[static_cast<std::size_t>(groupOrder_[r])] = static_cast<int>(r);
}

void KeywordAggregator::FinishPage(PageKeywords& page) {
    if (page.commaText) return;  // met twice in this rebuild
    // Sorted by rank copied next to each entry, so comparisons read no spelling.
    ranked_.clear();
    for (const Spelling* entry : page.entries)
        ranked_.emplace_back(groupRank_[static_cast<std::size_t>(entry->group)], entry);
    std::sort(ranked_.begin(), ranked_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t length = 0;
    for (std::size_t i = 0; i < ranked_.size(); ++i) {
        page.entries[i] = ranked_[i].second;
        length += ranked_[i].second->CommaEntry().size() + 1;
    }
    std::string commaText;
    commaText.reserve(length);
    for (std::size_t i = 0; i < page.entries.size(); ++i) {
        if (i) commaText += ',';
        commaText += page.entries[i]->CommaEntry();
    }
    page.commaText = data::MakeText(std::move(commaText));
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
        if (caseVariantsAsOne_) MergeCaseVariants(tables_);
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
    tables_.KeywordResClientDataSet.EmptyTable();
    tables_.KeywordRes2ClientDataSet.EmptyTable();
    TrimMemos();
    AppendRows(CollectPages());
}

std::vector<KeywordAggregator::PageRow> KeywordAggregator::CollectPages() {
    auto& cache = tables_.SECacheClientDataSet;
    namespace f = data::secache_fields;
    const int cacheEngine = cache.FieldIndex(f::SEName);
    const int cacheUrl = cache.FieldIndex(f::Url);
    const int cacheRank = cache.FieldIndex(f::Rank);
    const int cacheKeywords = cache.FieldIndex(f::Keywords);
    const std::optional<int> cacheSources = cache.FindField(f::Sources);
    const std::vector<std::string> ticked = window_.TickedEngineNames();

    std::unordered_map<std::string_view, bool> engineTicked;
    std::unordered_set<std::string_view> seen;  // addresses by their key ignoring case
    std::vector<PageRow> pages;
    std::vector<PageKeywords*> made;
    const int rows = cache.RecordCount();
    for (int i = 0; i < rows; ++i) {
        const data::Cell& engineCell = cache.CellAt(i, cacheEngine);
        const std::string_view engine = engineCell.text ? std::string_view(*engineCell.text) : "";
        auto tick = engineTicked.find(engine);
        if (tick == engineTicked.end()) {
            const bool found = std::any_of(
                ticked.begin(), ticked.end(),
                [&](const std::string& name) { return text::SameIgnoringCase(name, engine); });
            tick = engineTicked.emplace(engine, found).first;
        }
        if (!tick->second) continue;

        const data::Cell& urlCell = cache.CellAt(i, cacheUrl);
        const data::SharedText& url = urlCell.text ? urlCell.text : emptyText_;
        if (!seen.insert(AddressKey(url)).second) continue;

        const data::Cell& keywordsCell = cache.CellAt(i, cacheKeywords);
        const data::SharedText& keywords = keywordsCell.text ? keywordsCell.text : emptyText_;
        PageKeywords& page = KeywordsOf(keywords);
        // Also a page kept unfinished when an earlier rebuild failed before ordering it.
        if (!page.commaText) made.push_back(&page);
        const data::SharedText* sources =
            cacheSources ? &cache.CellAt(i, *cacheSources).text : nullptr;
        pages.push_back({&url, &keywords, sources, cache.CellAt(i, cacheRank).number, &page});
    }

    // New pages are ordered once every spelling of this rebuild has its group's rank.
    if (!made.empty()) {
        RankNewGroups();
        for (PageKeywords* page : made) FinishPage(*page);
    }
    return pages;
}

void KeywordAggregator::AppendRows(const std::vector<PageRow>& pages) {
    auto& res = tables_.KeywordResClientDataSet;
    auto& res2 = tables_.KeywordRes2ClientDataSet;
    namespace f2 = data::keywordres2_fields;
    const int fKeyword = res2.FieldIndex(f2::Keyword);
    const int fRank = res2.FieldIndex(f2::Rank);
    const int fUrl = res2.FieldIndex(f2::Url);
    const int fKeywords = res2.FieldIndex(f2::Keywords);
    const int fKeywords2 = res2.FieldIndex(f2::Keywords2);
    const std::optional<int> fSources = res2.FindField(f2::Sources);

    std::vector<int> counts(classes_.size());                        // per keyword class
    std::vector<const data::SharedText*> spelling(classes_.size());  // the first one met
    std::vector<int> used;
    std::size_t rowCount = 0;
    for (const PageRow& row : pages) rowCount += row.page->entries.size();
    res2.ReserveRows(rowCount);
    for (const PageRow& row : pages) {
        for (const Spelling* entry : row.page->entries) {
            res2.Append();
            res2.SetText(fKeyword, entry->text);
            res2.SetInteger(fRank, row.rank);
            res2.SetText(fUrl, *row.url);
            res2.SetText(fKeywords, *row.keywords);
            res2.SetText(fKeywords2, row.page->commaText);
            if (fSources && row.sources && *row.sources) res2.SetText(*fSources, *row.sources);
            const auto c = static_cast<std::size_t>(entry->keywordClass);
            if (counts[c]++ == 0) {
                spelling[c] = &entry->text;
                used.push_back(entry->keywordClass);
            }
            res2.Post();
        }
    }

    // The frequency table is appended in the collation order respecting case: by group, as
    // a key respecting case begins with the key ignoring case, then by the whole key.
    std::sort(used.begin(), used.end(), [this](int a, int b) {
        const KeywordClass& x = classes_[static_cast<std::size_t>(a)];
        const KeywordClass& y = classes_[static_cast<std::size_t>(b)];
        if (x.group != y.group)
            return groupRank_[static_cast<std::size_t>(x.group)] <
                   groupRank_[static_cast<std::size_t>(y.group)];
        return *x.key < *y.key;
    });
    const int fResKeyword = res.FieldIndex(data::keywordres_fields::Keyword);
    const int fResCount = res.FieldIndex(data::keywordres_fields::Count);
    for (int c : used) {
        res.Append();
        res.SetText(fResKeyword, *spelling[static_cast<std::size_t>(c)]);
        res.SetInteger(fResCount, counts[static_cast<std::size_t>(c)]);
        res.Post();
    }
}

}  // namespace kv::detect
