#include "http/requestsafety.h"

#include <algorithm>
#include <cctype>

#include "http/httpaddress.h"
#include "http/httperror.h"
#include "http/httpstrings.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsIpv6Literal(std::string_view host) {
    if (host.size() < 3 || host.front() != '[' || host.back() != ']') return false;
    host = host.substr(1, host.size() - 2);
    return std::all_of(host.begin(), host.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
    });
}

std::string DefaultPort(const UrlParts& parts) {
    if (!parts.port.empty()) return parts.port;
    return text::AsciiLowerCase(parts.SchemeOrHttp()) == "https" ? "443" : "80";
}

}  // namespace

std::string EncodeRequestTarget(std::string_view target) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(target.size());
    for (char c : target) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

bool IsHostName(std::string_view host) {
    // A Host field may name a port other than the scheme's.
    const std::size_t colon = host.rfind(':');
    if (colon != std::string_view::npos && colon + 1 < host.size() &&
        std::all_of(host.begin() + static_cast<std::ptrdiff_t>(colon) + 1, host.end(),
                    [](char c) { return c >= '0' && c <= '9'; }) &&
        (host.front() != '[' || host[colon - 1] == ']')) {
        host = host.substr(0, colon);
    }
    if (IsIpv6Literal(host)) return true;
    return std::all_of(host.begin(), host.end(),
                       [](char c) { return IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_'; });
}

void AppendHeaderLine(std::string& head, std::string_view name, std::string_view value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        throw HttpError(FormatText(kHttpUnsafeHeaderValue, std::string(name)));
    head += name;
    head += ": ";
    head += value;
    head += "\r\n";
}

bool SameOrigin(std::string_view from, std::string_view to) {
    const UrlParts a = SplitAddress(from);
    const UrlParts b = SplitAddress(to);
    return text::AsciiLowerCase(a.SchemeOrHttp()) == text::AsciiLowerCase(b.SchemeOrHttp()) &&
           text::SameAsciiNoCase(a.host, b.host) && DefaultPort(a) == DefaultPort(b);
}

}  // namespace kv::http
