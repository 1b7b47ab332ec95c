// An independent, deliberately naive MyHtmlDecode: the 37 named passes and the 256 numeric
// passes run literally, one replace-all each (293 passes, slow); tests and the fuzzer
// compare the real single-scan decoder against it on small texts.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace kv::testing {

inline char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Replace-all, left to right, without rescanning what was put in; pattern matched ignoring
// ASCII case.
inline std::string NaiveReplaceAll(std::string_view text, std::string_view pattern,
                                   std::string_view replacement) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        bool match = i + pattern.size() <= text.size();
        for (std::size_t k = 0; match && k < pattern.size(); ++k)
            match = FoldAscii(text[i + k]) == FoldAscii(pattern[k]);
        if (match) {
            out += replacement;
            i += pattern.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

inline std::string NaiveNumericReplacement(unsigned n) {
    static const std::array<const char*, 32> kCp1252 = {
        "€", "\u0081", "‚",      "ƒ", "„",      "…",      "†", "‡",      "ˆ", "‰", "Š",
        "‹", "Œ",      "\u008D", "Ž", "\u008F", "\u0090", "‘", "’",      "“", "”", "•",
        "–", "—",      "˜",      "™", "š",      "›",      "œ", "\u009D", "ž", "Ÿ"};
    if (n < 0x80) return std::string(1, static_cast<char>(n));
    if (n < 0xA0) return kCp1252[n - 0x80];
    return {static_cast<char>(0xC0 | (n >> 6)), static_cast<char>(0x80 | (n & 0x3F))};
}

inline std::string NaiveHtmlDecode(std::string_view text) {
    static const std::array<std::pair<const char*, const char*>, 37> kNames = {{
        {"lt", "<"},     {"gt", ">"},     {"nbsp", " "},   {"amp", "&"},      {"quot", "\""},
        {"tilde", "~"},  {"iexcl", "¡"},  {"cent", "¢"},   {"pound", "£"},    {"curren", "¤"},
        {"yen", "¥"},    {"brvbar", "¦"}, {"sect", "§"},   {"uml", "¨"},      {"copy", "©"},
        {"ordf", "ª"},   {"laquo", "«"},  {"not", "¬"},    {"shy", "\u00AD"}, {"reg", "®"},
        {"macr", "¯"},   {"deg", "°"},    {"plusmn", "±"}, {"sup2", "²"},     {"sup3", "³"},
        {"acute", "´"},  {"micro", "µ"},  {"para", "¶"},   {"middot", "·"},   {"cedil", "¸"},
        {"sup1", "¹"},   {"ordm", "º"},   {"raquo", "»"},  {"frac14", "¼"},   {"frac12", "½"},
        {"frac34", "¾"}, {"times", "×"},
    }};
    std::string s(text);
    for (const auto& [name, replacement] : kNames)
        s = NaiveReplaceAll(s, std::string("&") + name + ";", replacement);
    for (unsigned n = 0; n <= 255; ++n)
        s = NaiveReplaceAll(s, "&#" + std::to_string(n) + ";", NaiveNumericReplacement(n));
    return s;
}

}  // namespace kv::testing
