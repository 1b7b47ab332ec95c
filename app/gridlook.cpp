#include "app/gridlook.h"

#include <algorithm>
#include <vector>

#include "app/apptexts.h"
#include "detect/pagekeywords.h"
#include "text/textcompare.h"

namespace kv::app {

std::string KeywordsHint(std::string_view keywordCommaText) {
    std::vector<std::string> keywords = detect::SplitKeywordCommaText(keywordCommaText);
    std::stable_sort(keywords.begin(), keywords.end(), [](const auto& a, const auto& b) {
        return text::CompareIgnoringCase(a, b) < 0;
    });
    std::string list;
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        list += keywords[i];
        if (i + 1 < keywords.size()) list += "\r\n";
        if (static_cast<int>(i) == kHintKeywordLimit - 1) {
            list += "...";
            break;
        }
    }
    std::string hint = texts::kHintTotal;
    hint.replace(hint.find("%d"), 2, std::to_string(keywords.size()));
    return hint + "\r\n" + list;
}

QColor ShadeColor(const QColor& color) {
    auto shade = [](int c) { return c - (c * 3 + 50) / 100; };
    return QColor(shade(color.red()), shade(color.green()), shade(color.blue()));
}

}  // namespace kv::app
