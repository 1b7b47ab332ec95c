// One engine's query: result pages one after another until the scan depth is reached or the
// engine offers no next page.
#include "detect/detectionrun.h"
#include "detect/detectstrings.h"
#include "detect/enginepatterns.h"
#include "parseutils/htmltext.h"
#include "parseutils/templatefuncs.h"
#include "parseutils/urlfuncs.h"
#include "text/format.h"

namespace kv::detect {

namespace {

// An engine whose pages keep linking to a next page without giving results would otherwise
// be asked forever; no honest engine needs this many pages for a depth of 30.
constexpr int kMaxResultPagesPerQuery = 100;

}  // namespace

void DetectionRun::QueryEngine(const std::string& engineName, const std::string& keyword,
                               int depth) {
    auto& se = tables_.SE_ClientDataSet;
    if (!se.Locate("SEName", engineName)) {
        LogUnlessStopped(text::FormatText(strings::kNoEngineDefinition, {engineName}));
        return;
    }
    const std::string startUrl = se.AsString("StartSearchURL");
    const std::string checkText = se.AsString("CheckHtmlCheckText");
    const std::string blockPattern = se.AsString("GetTextTotalTextRegExpr");
    const std::string itemPattern = se.AsString("GetTextRegExpr");
    const std::string fieldPattern = se.AsString("GetUrlRegExpr");
    const bool decodePercent = se.AsBoolean("GetUrlDecodeUrlPercent");
    const bool decodeCode = se.AsBoolean("GetUrlDecodeUrlCode");
    const bool removeHtml = se.AsBoolean("GetUrlRemoveHtml");
    const std::string nextPattern = se.AsString("NextSearchRegExpr");
    const int combineType = se.AsInteger("NextSearchCombineUrlType");
    const std::string firstPartUrl = se.AsString("NextSearchFirstPartUrl");

    std::string referrer = se.AsString("PrepareSearchURL");
    int rank = 0;
    std::string page;
    try {
        CheckEnginePatterns(se, engineName);
        std::string address = parseutils::PrepareUrlOrBody(keyword, startUrl);
        for (int pass = 1;; ++pass) {
            window_.SetStatusText(
                text::FormatText(strings::kQueryingEngine, {engineName, keyword}));
            page.clear();
            http_.FetchPage(address, checkText, referrer, page);
            referrer = address;
            std::vector<std::string> items, items2, fields, fields2;
            parseutils::GetResultForPage(page, blockPattern, "", itemPattern, "", fieldPattern, "",
                                         items, items2, fields, fields2);
            for (std::size_t f = 0; f < fields.size() && rank < depth; ++f) {
                std::string result = fields[f];
                if (decodePercent) result = parseutils::MyDecodeUrl(result);
                if (decodeCode) result = parseutils::MyHtmlDecode(result);
                if (removeHtml) result = parseutils::RemoveHtmlFmt(result, true);
                runList_.push_back({engineName, std::move(result), ++rank});
            }
            if (rank >= depth) break;
            const std::string next =
                parseutils::GetUrlNext(nextPattern, combineType, firstPartUrl, address, page);
            if (next.empty()) break;
            if (pass >= kMaxResultPagesPerQuery) {
                LogUnlessStopped(text::FormatText(strings::kTooManyResultPages,
                                                  {engineName, std::to_string(pass)}));
                break;
            }
            address = next;
        }
    } catch (const std::exception& e) {
        LogUnlessStopped(e.what());
    }
    window_.SetStatusText("");
}

}  // namespace kv::detect
