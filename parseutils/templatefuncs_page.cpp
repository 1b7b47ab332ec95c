// Result pages: the query from its template, the result entries and their fields, and the URL
// of the next result page. Tests: tests/parseutils/templatefuncs_test.cpp.
#include <cstddef>

#include "parseutils/htmltext.h"
#include "parseutils/regexpr.h"
#include "parseutils/templatefuncs.h"
#include "parseutils/urlfuncs.h"
#include "text/textcompare.h"

namespace kv::parseutils {

namespace {

constexpr std::string_view kKeywordPlaceholder = "@@@";
// A line break some engines write into their next-page links as references.
constexpr std::string_view kEncodedLineBreak = "&#xD;&#xA;";

// Bytes 0 to 32 are what a field loses at both ends.
bool IsControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view TrimControlsAndBlanks(std::string_view text) {
    while (!text.empty() && IsControlOrBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsControlOrBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string WithoutEncodedLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text::SameAsciiNoCase(text.substr(i, kEncodedLineBreak.size()), kEncodedLineBreak)) {
            i += kEncodedLineBreak.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string WithoutTabs(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\t') out += c;
    return out;
}

// One pass of GetResultForPage: block, items, and one field per entry of items.
void CutItemsAndFields(std::string_view page, std::string_view blockRegExpr,
                       std::string_view itemRegExpr, std::string_view fieldRegExpr,
                       bool stopAtFirstItemLine, std::vector<std::string>& items,
                       std::vector<std::string>& fields) {
    const std::string block = GetTextBlockForRegExpr(blockRegExpr, page);
    GetTextsForRegExpr(itemRegExpr, block, items, stopAtFirstItemLine);
    // The count is taken once, so a caller passing one list as both items and fields gets one
    // field per item found rather than a loop over its own fields.
    const std::size_t itemCount = items.size();
    std::vector<std::string> found;
    for (std::size_t i = 0; i < itemCount; ++i) {
        found.clear();
        GetTextsForRegExpr(fieldRegExpr, items[i], found, true);
        fields.emplace_back(found.empty() ? std::string_view() : TrimControlsAndBlanks(found[0]));
    }
}

}  // namespace

std::string PrepareUrlOrBody(std::string_view keyword, std::string_view templateText) {
    const std::string encoded = EncodeWord(keyword);
    std::string out;
    out.reserve(templateText.size());
    for (std::size_t at = templateText.find(kKeywordPlaceholder); at != std::string_view::npos;
         at = templateText.find(kKeywordPlaceholder)) {
        out.append(templateText.substr(0, at));
        out.append(encoded);
        templateText.remove_prefix(at + kKeywordPlaceholder.size());
    }
    out.append(templateText);
    return out;
}

void GetResultForPage(std::string_view page, std::string_view blockRegExpr,
                      std::string_view blockRegExpr2, std::string_view itemRegExpr,
                      std::string_view itemRegExpr2, std::string_view fieldRegExpr,
                      std::string_view fieldRegExpr2, std::vector<std::string>& items,
                      std::vector<std::string>& items2, std::vector<std::string>& fields,
                      std::vector<std::string>& fields2) {
    const TSearchBudget budget(page.size());  // both passes, every item and field together
    CutItemsAndFields(page, blockRegExpr, itemRegExpr, fieldRegExpr, true, items, fields);
    CutItemsAndFields(page, blockRegExpr2, itemRegExpr2, fieldRegExpr2, false, items2, fields2);
}

std::string GetUrlNext(std::string_view regExpr, int combineType, std::string_view firstPartUrl,
                       std::string_view currentUrl, std::string_view page) {
    std::vector<std::string> found;
    GetTextsForRegExpr(regExpr, page, found, true);
    if (found.empty() || found.front().empty()) return {};
    const std::string link = WithoutTabs(WithoutEncodedLineBreaks(found.front()));

    std::string result;
    switch (combineType) {
        case kCombineWithPageBase: {
            const std::string base = GetBaseURL(page);
            result = MyCombineURL(base.empty() ? currentUrl : std::string_view(base), link);
            break;
        }
        case kCombineAfterFirstPart:
            result.assign(firstPartUrl).append(link);
            break;
        case kCombineTakeAsIs:
            result = link;
            break;
        default:
            break;  // no next page
    }
    return result.empty() ? result : PrepareURL(result);
}

std::string PrepareURL(std::string_view url) {
    return MyCanonicalizeUrl(MyHtmlDecode(url));
}

}  // namespace kv::parseutils
