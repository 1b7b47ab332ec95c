#include "data/export_encoding.h"

#include <algorithm>
#include <array>

#include "text/utf8.h"

namespace kv::data::exportdetail {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned bytes keep their own value, as the
// system's conversion does, so every byte has a character and back.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

std::optional<unsigned char> Windows1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    const auto found = std::find(kWindows1252High.begin(), kWindows1252High.end(), codePoint);
    if (found == kWindows1252High.end()) return std::nullopt;
    return static_cast<unsigned char>(0x80 + (found - kWindows1252High.begin()));
}

}  // namespace

void ForEachCharacter(std::string_view utf8,
                      const std::function<void(char32_t codePoint, int invalidByte)>& visit) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = text::CharLength(utf8, pos);
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (length == 1) {
            if (lead < 0x80)
                visit(lead, -1);
            else
                visit(Windows1252Character(lead), lead);
        } else {
            // The lead byte keeps 7 - length bits; each continuation byte adds 6.
            char32_t codePoint = lead & (0x7F >> length);
            for (std::size_t i = 1; i < length; ++i)
                codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[pos + i]) & 0x3F);
            visit(codePoint, -1);
        }
        pos += length;
    }
}

std::optional<std::string> ToWindows1252(std::string_view utf8) {
    std::string out;
    bool representable = true;
    ForEachCharacter(utf8, [&](char32_t codePoint, int) {
        if (const auto byte = Windows1252Byte(codePoint))
            out += static_cast<char>(*byte);
        else
            representable = false;
    });
    if (!representable) return std::nullopt;
    return out;
}

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out += static_cast<char16_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
}

std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out;
    ForEachCharacter(utf8, [&](char32_t codePoint, int) { AppendUtf16(out, codePoint); });
    return out;
}

}  // namespace kv::data::exportdetail
