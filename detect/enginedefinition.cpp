#include "detect/enginedefinition.h"

#include <algorithm>
#include <charconv>

#include "data/enginefields.h"
#include "parseutils/templatefuncs.h"

namespace kv::detect {

namespace f = data::se_fields;

std::vector<int> ParseStatusList(const std::string& text) {
    std::vector<int> statuses;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text.find_first_of(", \t\r\n", i);
        const std::string word = text.substr(i, end == std::string::npos ? end : end - i);
        int status = 0;
        const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), status);
        if (!word.empty() && ec == std::errc() && ptr == word.data() + word.size() &&
            status >= 100 && status <= 599)
            statuses.push_back(status);
        if (end == std::string::npos) break;
        i = end + 1;
    }
    return statuses;
}

std::vector<std::string> NonEmptyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string::npos) end = text.size();
        if (end > i) lines.push_back(text.substr(i, end - i));
        i = end + 1;
    }
    return lines;
}

EngineDefinition ReadEngineDefinition(data::Table& se) {
    EngineDefinition e;
    e.name = se.AsString(f::SEName);
    e.referrer = se.AsString(f::PrepareSearchURL);
    e.startUrl = se.AsString(f::StartSearchURL);
    e.startBody = se.AsString(f::StartSearchBody);
    e.post = se.AsInteger(f::PostMethod) != 0;
    e.checkText = se.AsString(f::CheckHtmlCheckText);
    e.blockPattern = se.AsString(f::GetTextTotalTextRegExpr);
    e.itemPattern = se.AsString(f::GetTextRegExpr);
    e.fieldPattern = se.AsString(f::GetUrlRegExpr);
    e.removeHtml = se.AsBoolean(f::GetUrlRemoveHtml);
    e.decodeCode = se.AsBoolean(f::GetUrlDecodeUrlCode);
    e.decodePercent = se.AsBoolean(f::GetUrlDecodeUrlPercent);
    e.nextPattern = se.AsString(f::NextSearchRegExpr);
    e.combineType = se.AsInteger(f::NextSearchCombineUrlType);
    e.firstPartUrl = se.AsString(f::NextSearchFirstPartUrl);
    e.nextIsForm = se.AsBoolean(f::NextSearchIsForm);
    e.unwrapPattern = se.AsString(f::GetUrlUnwrapRegExpr);
    const int decoding = se.AsInteger(f::GetUrlUnwrapDecode);
    e.unwrapDecoding = decoding >= 0 && decoding < kUnwrapDecodingCount
                           ? static_cast<UnwrapDecoding>(decoding)
                           : UnwrapDecoding::None;
    e.dropOwnHost = se.AsBoolean(f::GetUrlDropOwnHost);
    e.blockedPattern = se.AsString(f::BlockedRegExpr);
    e.blockedStatuses = ParseStatusList(se.AsString(f::BlockedStatusCodes));
    e.headerLines = NonEmptyLines(se.AsString(f::RequestHeaderLines));
    e.minSecondsBetweenRequests = std::max(0, se.AsInteger(f::MinSecondsBetweenRequests));
    return e;
}

std::vector<EngineDefinition> ReadEngineDefinitions(data::Table& se) {
    std::vector<EngineDefinition> all;
    for (se.First(); !se.Eof(); se.Next()) all.push_back(ReadEngineDefinition(se));
    return all;
}

EngineRequest FirstRequest(const EngineDefinition& engine, const std::string& keyword) {
    EngineRequest request;
    request.address = parseutils::PrepareUrlOrBody(keyword, engine.startUrl);
    request.post = engine.post;
    if (engine.post) request.body = parseutils::PrepareUrlOrBody(keyword, engine.startBody);
    request.referrer = engine.referrer;
    return request;
}

}  // namespace kv::detect
