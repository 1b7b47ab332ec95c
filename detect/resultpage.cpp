// The engine definition's fields and the reading of one result page.
#include "detect/resultpage.h"

#include "parseutils/htmltext.h"
#include "parseutils/templatefuncs.h"
#include "parseutils/urlfuncs.h"

namespace kv::detect {

std::optional<EngineDefinition> ReadEngineDefinition(data::Table& se, const std::string& name) {
    if (!se.Locate("SEName", name)) return std::nullopt;
    EngineDefinition e;
    e.name = name;
    e.startUrl = se.AsString("StartSearchURL");
    e.prepareUrl = se.AsString("PrepareSearchURL");
    e.checkText = se.AsString("CheckHtmlCheckText");
    e.blockPattern = se.AsString("GetTextTotalTextRegExpr");
    e.itemPattern = se.AsString("GetTextRegExpr");
    e.fieldPattern = se.AsString("GetUrlRegExpr");
    e.decodePercent = se.AsBoolean("GetUrlDecodeUrlPercent");
    e.decodeCode = se.AsBoolean("GetUrlDecodeUrlCode");
    e.removeHtml = se.AsBoolean("GetUrlRemoveHtml");
    e.nextPattern = se.AsString("NextSearchRegExpr");
    e.combineType = se.AsInteger("NextSearchCombineUrlType");
    e.firstPartUrl = se.AsString("NextSearchFirstPartUrl");
    return e;
}

ResultPageReading ReadResultPage(const EngineDefinition& e, const std::string& page,
                                 const std::string& address, int taken, int depth) {
    ResultPageReading reading;
    std::vector<std::string> items, items2, fields, fields2;
    parseutils::GetResultForPage(page, e.blockPattern, "", e.itemPattern, "", e.fieldPattern, "",
                                 items, items2, fields, fields2);
    for (std::size_t f = 0; f < fields.size() && taken < depth; ++f, ++taken) {
        std::string result = fields[f];
        if (e.decodePercent) result = parseutils::MyDecodeUrl(result);
        if (e.decodeCode) result = parseutils::MyHtmlDecode(result);
        if (e.removeHtml) result = parseutils::RemoveHtmlFmt(result, true);
        reading.results.push_back(std::move(result));
    }
    if (taken < depth)
        reading.nextAddress =
            parseutils::GetUrlNext(e.nextPattern, e.combineType, e.firstPartUrl, address, page);
    return reading;
}

}  // namespace kv::detect
