#include "http/wildcardmask.h"

#include "text/textcompare.h"

namespace kv::http {

namespace {

// Does the set at mask[at] (a "[") accept c? `next` receives the index after the set.
// An unclosed "[" is an ordinary character.
bool SetAccepts(std::string_view mask, std::size_t at, char c, std::size_t& next) {
    std::size_t close = mask.find(']', at + 2);
    if (close == std::string_view::npos) {
        next = at + 1;
        return text::AsciiLower(c) == '[';
    }
    next = close + 1;
    char lc = text::AsciiLower(c);
    bool found = false;
    for (std::size_t i = at + 1; i < close; ++i) {
        char from = text::AsciiLower(mask[i]);
        if (i + 2 < close && mask[i + 1] == '-') {
            char to = text::AsciiLower(mask[i + 2]);
            found = found || (lc >= from && lc <= to);
            i += 2;
        } else {
            found = found || lc == from;
        }
    }
    return found;
}

// Does the single mask element at mask[at] accept c? `next` gets the index after it.
bool ElementAccepts(std::string_view mask, std::size_t at, char c, std::size_t& next) {
    if (mask[at] == '[') return SetAccepts(mask, at, c, next);
    next = at + 1;
    return mask[at] == '?' || text::AsciiLower(mask[at]) == text::AsciiLower(c);
}

}  // namespace

bool MatchesMask(std::string_view text, std::string_view mask) {
    std::size_t t = 0, m = 0;
    // Where to resume after the last "*": retry it one character further on.
    std::size_t starMask = std::string_view::npos, starText = 0;
    while (t < text.size()) {
        std::size_t next = 0;
        if (m < mask.size() && mask[m] == '*') {
            starMask = ++m;
            starText = t;
        } else if (m < mask.size() && ElementAccepts(mask, m, text[t], next)) {
            m = next;
            ++t;
        } else if (starMask != std::string_view::npos) {
            m = starMask;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace kv::http
