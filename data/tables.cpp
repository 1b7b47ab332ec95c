#include "data/tables.h"

#include <filesystem>

#include "data/enginefields.h"
#include "data/tablefields.h"
#include "data/tablefile.h"

namespace kv::data {

namespace {

using enum FieldType;

// A field of a schema, by its name constant.
FieldDef Def(std::string_view name, FieldType type, std::size_t size = 0, bool optional = false) {
    return FieldDef{std::string(name), type, size, optional};
}

}  // namespace

std::vector<FieldDef> EngineTableFields() {
    namespace f = se_fields;
    return {Def(f::SEName, String, 50),
            Def(f::PrepareSearchURL, Memo),
            Def(f::StartSearchBody, Memo),
            Def(f::StartSearchURL, Memo),
            Def(f::PostMethod, Integer),
            Def(f::NextSearchFirstPartUrl, String, 50),
            Def(f::NextSearchCombineUrlType, Word),
            Def(f::NextSearchRegExpr, Memo),
            Def(f::NextSearchNextSearchString, Memo),
            Def(f::CheckHtmlCheckText, String, 30),
            Def(f::GetTextTotalTextRegExpr, Memo),
            Def(f::GetTextRegExpr, Memo),
            Def(f::GetUrlRegExpr, Memo),
            Def(f::GetUrlRemoveHtml, Boolean),
            Def(f::GetUrlDecodeUrlCode, Boolean),
            Def(f::GetUrlDecodeUrlPercent, Boolean),
            Def(f::NextSearchIsForm, Boolean, 0, true),
            Def(f::GetUrlUnwrapRegExpr, Memo, 0, true),
            Def(f::GetUrlUnwrapDecode, Word, 0, true),
            Def(f::GetUrlDropOwnHost, Boolean, 0, true),
            Def(f::BlockedRegExpr, Memo, 0, true),
            Def(f::BlockedStatusCodes, Memo, 0, true),
            Def(f::RequestHeaderLines, Memo, 0, true),
            Def(f::MinSecondsBetweenRequests, Integer, 0, true)};
}

namespace {

// Room for every keyword source token: "meta,news,tags,data".
constexpr std::size_t kSourcesWidth = 30;

namespace history = word_fields;
namespace cache = secache_fields;
namespace res = keywordres_fields;
namespace res2 = keywordres2_fields;

std::string Join(const std::string& folder, const char* file) {
    return (std::filesystem::path(folder) / file).string();
}

std::vector<FieldDef> HistoryTableFields() {
    // Long-tail keywords are common; files written with the older width of 30 load unchanged.
    return {Def(history::Word, String, kKeywordFieldWidth)};
}

std::vector<FieldDef> CacheTableFields() {
    return {Def(cache::Word, String, kKeywordFieldWidth),
            Def(cache::SEName, String, 30),
            Def(cache::Rank, Integer),
            Def(cache::Url, String, 255),
            Def(cache::Keywords, String, 1500),
            Def(cache::Sources, String, kSourcesWidth, true)};
}

std::vector<FieldDef> ThemeTableFields() {
    return {Def(res::Keyword, String, 50), Def(res::Count, Integer)};
}

std::vector<FieldDef> ThemePagesTableFields() {
    return {Def(res2::Keyword, String, 50),     Def(res2::Rank, Integer),
            Def(res2::Url, String, 255),        Def(res2::Keywords, String, 1500),
            Def(res2::Keywords2, String, 1500), Def(res2::Sources, String, kSourcesWidth)};
}

}  // namespace

DataTables::DataTables()
    : SE_ClientDataSet("SE", EngineTableFields()),
      WordClientDataSet("Word", HistoryTableFields()),
      SECacheClientDataSet("SECache", CacheTableFields()),
      KeywordResClientDataSet("KeywordRes", ThemeTableFields()),
      KeywordRes2ClientDataSet("KeywordRes2", ThemePagesTableFields()) {
    WordClientDataSet.AddIndex({"WordClientDataSetIndex1", {std::string(history::Word)}, false});
    WordClientDataSet.SetIndexName("WordClientDataSetIndex1");

    SECacheClientDataSet.SetIndexFieldNames(std::string(cache::Word));
    SECacheClientDataSet.SetMasterLink(
        {&WordClientDataSet, std::string(cache::Word), std::string(history::Word)});

    KeywordResClientDataSet.AddIndex(
        {"KeywordResClientDataSetIndex1", {std::string(res::Count)}, true});
    KeywordResClientDataSet.SetIndexName("KeywordResClientDataSetIndex1");

    KeywordRes2ClientDataSet.AddIndex(
        {"KeywordRes2ClientDataSetIndex1", {std::string(res2::Rank)}, false});
    // "Keyword;Rank"
    KeywordRes2ClientDataSet.SetIndexFieldNames(
        std::string(res2::Keyword).append(";").append(res2::Rank));
    KeywordRes2ClientDataSet.SetMasterLink(
        {&KeywordResClientDataSet, std::string(res2::Keyword), std::string(res::Keyword)});
}

void DataTables::LoadFiles(const std::string& folder) {
    LoadFiles(folder, Join(folder, kEngineFile));
}

void DataTables::LoadFiles(const std::string& folder, const std::string& engineFile) {
    // Until a step has run, its file must not be replaced at shutdown.
    cacheSavable_ = historySavable_ = false;
    failedFile_ = engineFile;
    LoadTableFile(SE_ClientDataSet, failedFile_);

    // A file that is gone leaves its table empty, also when the tables are loaded again.
    failedFile_ = Join(folder, kCacheFile);
    if (std::filesystem::exists(failedFile_))
        LoadTableFile(SECacheClientDataSet, failedFile_);
    else
        SECacheClientDataSet.EmptyTable();
    cacheSavable_ = true;

    failedFile_ = Join(folder, kHistoryFile);
    if (std::filesystem::exists(failedFile_))
        LoadTableFile(WordClientDataSet, failedFile_);
    else
        WordClientDataSet.EmptyTable();
    historySavable_ = true;
    failedFile_.clear();
    TakeStamps(folder);
}

void DataTables::SaveFiles(const std::string& folder) {
    // Each file's stamp follows its own save, so a failed cache save leaves the cache's stamp
    // as it was, and the unsaved rows are not taken for out of date.
    const std::string history = Join(folder, kHistoryFile), cache = Join(folder, kCacheFile);
    if (historySavable_) {
        SaveTableFile(WordClientDataSet, history);
        historyStamp_ = StampOf(history);
    }
    if (cacheSavable_) {
        SaveTableFile(SECacheClientDataSet, cache);
        cacheStamp_ = StampOf(cache);
    }
}

bool DataTables::FilesChangedOnDisk(const std::string& folder) const {
    return stamped_ && (StampOf(Join(folder, kHistoryFile)) != historyStamp_ ||
                        StampOf(Join(folder, kCacheFile)) != cacheStamp_);
}

void DataTables::TakeStamps(const std::string& folder) {
    historyStamp_ = StampOf(Join(folder, kHistoryFile));
    cacheStamp_ = StampOf(Join(folder, kCacheFile));
    stamped_ = true;
}

}  // namespace kv::data
