#include "text/utf8.h"

namespace kv::text {

namespace {
bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}
}  // namespace

std::size_t CharLength(std::string_view s, std::size_t pos) {
    const auto c = static_cast<unsigned char>(s[pos]);
    std::size_t len;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF)
        len = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        len = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        len = 4;
    else
        return 1;
    if (pos + len > s.size()) return 1;
    const auto c1 = static_cast<unsigned char>(s[pos + 1]);
    if (!IsContinuation(c1)) return 1;
    // Reject overlong forms, surrogates and code points above U+10FFFF.
    if (c == 0xE0 && c1 < 0xA0) return 1;
    if (c == 0xED && c1 > 0x9F) return 1;
    if (c == 0xF0 && c1 < 0x90) return 1;
    if (c == 0xF4 && c1 > 0x8F) return 1;
    for (std::size_t i = 2; i < len; ++i)
        if (!IsContinuation(static_cast<unsigned char>(s[pos + i]))) return 1;
    return len;
}

std::size_t CharCount(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < s.size(); pos += CharLength(s, pos)) ++count;
    return count;
}

std::string_view CutChars(std::string_view s, std::size_t n) {
    if (s.size() <= n) return s;  // bytes >= characters: nothing to cut
    std::size_t pos = 0;
    for (std::size_t count = 0; count < n && pos < s.size(); ++count) pos += CharLength(s, pos);
    return s.substr(0, pos);
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace kv::text
