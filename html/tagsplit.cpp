#include "html/tagsplit.h"

#include <algorithm>

namespace kv::html {

namespace {

bool IsSpaceAfterEquals(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

void SplitTag(std::string_view tag, TSplitTag& result) {
    if (tag.size() > 1 && tag.front() == '<') tag.remove_prefix(1);
    if (tag.size() > 1 && tag.back() == '>') tag.remove_suffix(1);

    std::string& chars = result.chars_;
    std::vector<std::size_t>& ends = result.ends_;
    chars.clear();
    ends.clear();
    // The token being built is chars[tokenStart, end); empty tokens are not kept.
    std::size_t tokenStart = 0;
    auto finishToken = [&] {
        if (chars.size() == tokenStart) return;
        ends.push_back(chars.size());
        tokenStart = chars.size();
    };

    bool inDouble = false;
    bool inSingle = false;
    std::size_t segment = 0;
    auto appendSegment = [&](std::size_t end) { chars.append(tag.substr(segment, end - segment)); };

    for (std::size_t i = 0; i < tag.size(); ++i) {
        if (inDouble || inSingle) {  // only the closing quote matters: jump to it
            i = std::min(tag.find(inDouble ? '"' : '\'', i), tag.size());
            if (i == tag.size()) break;
        }
        const char c = tag[i];
        if (c == '"' && !inSingle) {
            inDouble = !inDouble;
            appendSegment(i);
            segment = i + 1;
        } else if (c == '\'' && !inDouble) {
            inSingle = !inSingle;
            appendSegment(i);
            segment = i + 1;
        } else if (inDouble || inSingle) {
            continue;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            appendSegment(i);
            segment = i + 1;
            finishToken();
        } else if (c == '\n') {
            appendSegment(i);
            segment = i + 1;
        } else if (c == '=') {
            appendSegment(i + 1);
            while (i + 1 < tag.size() && IsSpaceAfterEquals(tag[i + 1])) ++i;
            segment = i + 1;
        }
    }
    appendSegment(tag.size());
    finishToken();
}

}  // namespace kv::html
