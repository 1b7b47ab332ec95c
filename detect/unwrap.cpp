#include "detect/unwrap.h"

#include <vector>

#include "parseutils/templatefuncs.h"
#include "parseutils/urlfuncs.h"

namespace kv::detect {

namespace {

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-' || c == '+') return 62;
    if (c == '_' || c == '/') return 63;
    return -1;
}

}  // namespace

std::optional<std::string> DecodeBase64Url(std::string_view text) {
    while (!text.empty() && text.back() == '=') text.remove_suffix(1);
    if (text.size() % 4 == 1) return std::nullopt;  // no whole byte in the last group
    std::string out;
    out.reserve(text.size() * 3 / 4);
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        const int value = Base64Value(c);
        if (value < 0) return std::nullopt;
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

std::string UnwrapAddress(const std::string& address, const std::string& pattern,
                          UnwrapDecoding decoding) {
    if (pattern.empty()) return address;
    std::vector<std::string> found;
    parseutils::GetTextsForRegExpr(pattern, address, found, true);
    if (found.empty()) return address;
    switch (decoding) {
        case UnwrapDecoding::None:
            return found.front();
        case UnwrapDecoding::Percent:
            return parseutils::MyDecodeUrl(found.front());
        case UnwrapDecoding::Base64Url:
            return DecodeBase64Url(found.front()).value_or(std::string());
    }
    return address;
}

}  // namespace kv::detect
