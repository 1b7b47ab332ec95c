#include "data/tables.h"

#include <filesystem>

#include "data/enginefields.h"
#include "data/tablefile.h"

namespace kv::data {

namespace {

using enum FieldType;

}  // namespace

std::vector<FieldDef> EngineTableFields() {
    namespace f = se_fields;
    const auto named = [](std::string_view name, FieldType type, std::size_t size = 0,
                          bool optional = false) {
        return FieldDef{std::string(name), type, size, optional};
    };
    return {named(f::SEName, String, 50),
            named(f::PrepareSearchURL, Memo),
            named(f::StartSearchBody, Memo),
            named(f::StartSearchURL, Memo),
            named(f::PostMethod, Integer),
            named(f::NextSearchFirstPartUrl, String, 50),
            named(f::NextSearchCombineUrlType, Word),
            named(f::NextSearchRegExpr, Memo),
            named(f::NextSearchNextSearchString, Memo),
            named(f::CheckHtmlCheckText, String, 30),
            named(f::GetTextTotalTextRegExpr, Memo),
            named(f::GetTextRegExpr, Memo),
            named(f::GetUrlRegExpr, Memo),
            named(f::GetUrlRemoveHtml, Boolean),
            named(f::GetUrlDecodeUrlCode, Boolean),
            named(f::GetUrlDecodeUrlPercent, Boolean),
            named(f::NextSearchIsForm, Boolean, 0, true),
            named(f::GetUrlUnwrapRegExpr, Memo, 0, true),
            named(f::GetUrlUnwrapDecode, Word, 0, true),
            named(f::GetUrlDropOwnHost, Boolean, 0, true),
            named(f::BlockedRegExpr, Memo, 0, true),
            named(f::BlockedStatusCodes, Memo, 0, true),
            named(f::RequestHeaderLines, Memo, 0, true),
            named(f::MinSecondsBetweenRequests, Integer, 0, true)};
}

namespace {

// Room for every keyword source token: "meta,news,tags,data".
constexpr std::size_t kSourcesWidth = 30;

std::string Join(const std::string& folder, const char* file) {
    return (std::filesystem::path(folder) / file).string();
}

}  // namespace

DataTables::DataTables()
    : SE_ClientDataSet("SE", EngineTableFields()),
      // Long-tail keywords are common; files written with the older width of 30 load unchanged.
      WordClientDataSet("Word", {{"word", String, kKeywordFieldWidth}}),
      SECacheClientDataSet("SECache", {{"word", String, kKeywordFieldWidth},
                                       {"SENAME", String, 30},
                                       {"Rank", Integer, 0},
                                       {"url", String, 255},
                                       {"Keywords", String, 1500},
                                       {"Sources", String, kSourcesWidth, true}}),
      KeywordResClientDataSet("KeywordRes", {{"Keyword", String, 50}, {"Count", Integer, 0}}),
      KeywordRes2ClientDataSet("KeywordRes2", {{"Keyword", String, 50},
                                               {"Rank", Integer, 0},
                                               {"url", String, 255},
                                               {"Keywords", String, 1500},
                                               {"Keywords2", String, 1500},
                                               {"Sources", String, kSourcesWidth}}) {
    WordClientDataSet.AddIndex({"WordClientDataSetIndex1", {"word"}, false});
    WordClientDataSet.SetIndexName("WordClientDataSetIndex1");

    SECacheClientDataSet.SetIndexFieldNames("word");
    SECacheClientDataSet.SetMasterLink({&WordClientDataSet, "word", "word"});

    KeywordResClientDataSet.AddIndex({"KeywordResClientDataSetIndex1", {"Count"}, true});
    KeywordResClientDataSet.SetIndexName("KeywordResClientDataSetIndex1");

    KeywordRes2ClientDataSet.AddIndex({"KeywordRes2ClientDataSetIndex1", {"Rank"}, false});
    KeywordRes2ClientDataSet.SetIndexFieldNames("Keyword;Rank");
    KeywordRes2ClientDataSet.SetMasterLink({&KeywordResClientDataSet, "Keyword", "Keyword"});
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
