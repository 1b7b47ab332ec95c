#include "parseutils/htmltext.h"

#include <cstddef>
#include <vector>

#include "html/htmlparser.h"
#include "html/nodesearch.h"
#include "text/utf8.h"

namespace kv::parseutils {

namespace {

std::string CollapseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

}  // namespace

std::string RemoveHtmlFmt(std::string_view html, bool collapseBlanks) {
    html::THTMLParser parser;
    parser.Parse(html);
    std::string text = html::GetText(parser.Root());
    if (collapseBlanks) text = CollapseBlanks(text);
    return MyHtmlDecode(text);
}

std::string GetStrByIndex(std::string_view text, int index) {
    if (index < 0) return {};
    std::size_t start = 0;
    for (int line = 0; start < text.size(); ++line) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (line == index) return std::string(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return {};
}

std::string InvertString(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size(); pos += text::CharLength(text, pos))
        starts.push_back(pos);
    std::string out;
    out.reserve(text.size());
    std::size_t end = text.size();
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        out.append(text.substr(*it, end - *it));
        end = *it;
    }
    return out;
}

}  // namespace kv::parseutils
