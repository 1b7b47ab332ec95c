#include "http/httpaddress.h"

#include "text/textcompare.h"

namespace kv::http {

namespace {

bool IsSchemeChar(char c, bool lowerOnly) {
    bool letter = lowerOnly ? (c >= 'a' && c <= 'z') : ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    return letter || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme written before "://", or npos when the address does not start with one.
std::size_t SchemeEnd(std::string_view address, bool lowerOnly) {
    std::size_t end = address.find("://");
    if (end == std::string_view::npos || end == 0) return std::string_view::npos;
    for (std::size_t i = 0; i < end; ++i) {
        if (!IsSchemeChar(address[i], lowerOnly)) return std::string_view::npos;
    }
    return end;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           text::SameAsciiNoCase(text.substr(0, prefix.size()), prefix);
}

void SplitAuthority(std::string_view authority, UrlParts& parts) {
    std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        std::string_view userInfo = authority.substr(0, at);
        std::size_t colon = userInfo.find(':');
        parts.hasUser = true;
        parts.user = std::string(userInfo.substr(0, colon));
        if (colon != std::string_view::npos)
            parts.password = std::string(userInfo.substr(colon + 1));
        authority.remove_prefix(at + 1);
    }
    std::size_t colon = authority.find(':');
    parts.host = std::string(authority.substr(0, colon));
    if (colon != std::string_view::npos) parts.port = std::string(authority.substr(colon + 1));
}

// A request target must begin with "/": a query right after the host gets one in front.
std::string PathOrRoot(std::string_view path) {
    if (path.empty()) return "/";
    if (path.front() == '?') return "/" + std::string(path);
    return std::string(path);
}

bool IsFetchableScheme(std::string_view scheme) {
    return text::SameAsciiNoCase(scheme, "http") || text::SameAsciiNoCase(scheme, "https");
}

}  // namespace

bool UrlParts::Secure() const {
    return text::SameAsciiNoCase(scheme, "https");
}

UrlParts SplitAddress(std::string_view address) {
    UrlParts parts;
    if (address.starts_with("/") && !address.starts_with("//")) {
        parts.path = std::string(address);
        return parts;
    }
    std::string_view rest = address;
    if (std::size_t end = SchemeEnd(address, false); end != std::string_view::npos) {
        parts.scheme = std::string(address.substr(0, end));
        rest = address.substr(end + 3);
    } else if (StartsWithNoCase(address, "http:") && address.size() > 5 && address[5] != '/') {
        parts.scheme = "http";
        parts.path = std::string(address.substr(5));
        return parts;
    } else if (StartsWithNoCase(address, "mailto:")) {
        parts.scheme = "mailto";
        rest = address.substr(7);
    }
    std::size_t pathStart = rest.find_first_of("/?");
    SplitAuthority(rest.substr(0, pathStart), parts);
    parts.path = PathOrRoot(pathStart == std::string_view::npos ? std::string_view{}
                                                                : rest.substr(pathStart));
    return parts;
}

std::string AbsoluteTarget(const UrlParts& parts) {
    return parts.SchemeOrHttp() + "://" + parts.HostAndPort() + parts.path;
}

std::string WithHttpPrefix(std::string_view address) {
    if (SchemeEnd(address, true) != std::string_view::npos) return std::string(address);
    return "http://" + std::string(address);
}

RedirectTarget ResolveLocation(std::string_view current, std::string_view location) {
    // Any "scheme://" value is absolute; http and https are fetched, whatever the case.
    if (std::size_t end = SchemeEnd(location, false); end != std::string_view::npos) {
        return {std::string(location), IsFetchableScheme(location.substr(0, end))};
    }
    UrlParts base = SplitAddress(current);
    // "//host/path" keeps only the scheme.
    if (location.starts_with("//")) return {base.SchemeOrHttp() + ":" + std::string(location)};
    // The port stays: a server on another port than 80 redirects within itself.
    if (location.starts_with("/")) {
        return {base.SchemeOrHttp() + "://" + base.HostAndPort() + std::string(location)};
    }
    std::string_view path = base.path;
    std::size_t queryAt = path.find('?');
    std::size_t dirEnd = path.substr(0, queryAt).find_last_of("/:");
    std::string newPath =
        dirEnd == std::string_view::npos ? std::string() : std::string(path.substr(0, dirEnd + 1));
    newPath += location;
    std::string slash = newPath.starts_with("/") ? "" : "/";
    return {base.SchemeOrHttp() + "://" + base.HostAndPort() + slash + newPath};
}

}  // namespace kv::http
