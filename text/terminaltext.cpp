#include "text/terminaltext.h"

#include "text/utf8.h"

namespace kv::text {

namespace {

void AppendEscape(std::string& out, std::string_view prefix, unsigned char code) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += prefix;
    out += kHex[code >> 4];
    out += kHex[code & 0x0F];
}

}  // namespace

std::string EscapeForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        const auto first = static_cast<unsigned char>(text[pos]);
        const auto second = length == 2 ? static_cast<unsigned char>(text[pos + 1]) : 0;
        if ((first < 0x20 && first != '\t') || first == 0x7F ||
            (length == 1 && first >= 0x80 && first < 0xA0))
            AppendEscape(out, "\\x", first);
        else if (first == 0xC2 && second >= 0x80 && second < 0xA0)
            AppendEscape(out, "\\u00", second);
        else
            out.append(text, pos, length);
        pos += length;
    }
    return out;
}

}  // namespace kv::text
