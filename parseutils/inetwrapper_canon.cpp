#include <cstddef>

#include "parseutils/inetwrapper.h"
#include "text/hexdigit.h"

namespace kv::parseutils {

namespace {

// Bytes a URL path may not hold as they stand; "%" is not among them, so escapes that are
// already there stay single.
bool IsUnsafeUrlByte(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) return true;
    return std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendEscaped(std::string_view text, std::string& out) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnsafeUrlByte(byte))
            AppendPercentEscape(c, out);
        else
            out += c;
    }
}

}  // namespace

void AppendPercentEscape(char byte, std::string& out) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const auto code = static_cast<unsigned char>(byte);
    out += '%';
    out += kHexDigits[code >> 4];
    out += kHexDigits[code & 0x0F];
}

std::optional<std::string> CanonicalizeUrlBrowserMode(std::string_view url, std::size_t capacity) {
    if (url.empty()) return std::nullopt;
    const std::size_t tailStart = url.find_first_of("?#");
    const std::string_view head = url.substr(0, tailStart);
    const UriParts parts = SplitUriReference(head);
    if (!parts.scheme) return std::nullopt;

    std::string out;
    out.reserve(url.size());
    (out += *parts.scheme) += ':';
    // The host is left as written: escaping it would turn a UTF-8 host name into another name.
    if (parts.authority) (out += "//") += *parts.authority;
    AppendEscaped(
        parts.path.starts_with('/') ? RemoveDotSegments(parts.path) : std::string(parts.path), out);
    if (tailStart != std::string_view::npos) out += url.substr(tailStart);

    if (out.size() > capacity) return std::nullopt;
    return out;
}

std::optional<std::string> DecodeUrlEscapes(std::string_view url, std::size_t capacity) {
    if (url.empty()) return std::nullopt;
    std::string out;
    out.reserve(url.size());
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && text::HexDigitValue(url[i + 1]) >= 0 &&
            text::HexDigitValue(url[i + 2]) >= 0) {
            out += static_cast<char>(text::HexDigitValue(url[i + 1]) * 16 +
                                     text::HexDigitValue(url[i + 2]));
            i += 2;
        } else {
            out += url[i];
        }
    }
    if (out.size() > capacity) return std::nullopt;
    return out;
}

}  // namespace kv::parseutils
