#include "data/tables.h"

#include <filesystem>

#include "data/tablefile.h"

namespace kv::data {

namespace {

using enum FieldType;

std::vector<FieldDef> EngineFields() {
    return {{"SEName", String, 50},
            {"PrepareSearchURL", Memo, 0},
            {"StartSearchBody", Memo, 0},
            {"StartSearchURL", Memo, 0},
            {"PostMethod", Integer, 0},
            {"NextSearchFirstPartUrl", String, 50},
            {"NextSearchCombineUrlType", Word, 0},
            {"NextSearchRegExpr", Memo, 0},
            {"NextSearchNextSearchString", Memo, 0},
            {"CheckHtmlCheckText", String, 30},
            {"GetTextTotalTextRegExpr", Memo, 0},
            {"GetTextRegExpr", Memo, 0},
            {"GetUrlRegExpr", Memo, 0},
            {"GetUrlRemoveHtml", Boolean, 0},
            {"GetUrlDecodeUrlCode", Boolean, 0},
            {"GetUrlDecodeUrlPercent", Boolean, 0}};
}

// Room for every keyword source token: "meta,news,tags,data".
constexpr std::size_t kSourcesWidth = 30;

std::string Join(const std::string& folder, const char* file) {
    return (std::filesystem::path(folder) / file).string();
}

}  // namespace

DataTables::DataTables()
    : SE_ClientDataSet("SE", EngineFields()),
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

    failedFile_ = Join(folder, kCacheFile);
    if (std::filesystem::exists(failedFile_)) LoadTableFile(SECacheClientDataSet, failedFile_);
    cacheSavable_ = true;

    failedFile_ = Join(folder, kHistoryFile);
    if (std::filesystem::exists(failedFile_)) LoadTableFile(WordClientDataSet, failedFile_);
    historySavable_ = true;
    failedFile_.clear();
}

void DataTables::SaveFiles(const std::string& folder) {
    if (historySavable_) SaveTableFile(WordClientDataSet, Join(folder, kHistoryFile));
    if (cacheSavable_) SaveTableFile(SECacheClientDataSet, Join(folder, kCacheFile));
}

}  // namespace kv::data
