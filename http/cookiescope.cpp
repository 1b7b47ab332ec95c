#include "http/cookiescope.h"

#include <algorithm>

#include "http/cookmanager.h"
#include "http/fieldtext.h"
#include "http/httplimits.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

bool IsAddress(std::string_view host) {
    return IsDottedAddress(host) || host.starts_with('[');
}

// The host is the domain or a name below it, at a dot boundary.
bool UnderDomain(std::string_view host, std::string_view domain) {
    if (host == domain) return true;
    return host.size() > domain.size() && host.ends_with(domain) &&
           host[host.size() - domain.size() - 1] == '.';
}

}  // namespace

std::optional<CookieScope> ScopeOfCookie(std::string_view domainAttribute, std::string_view host,
                                         const PublicSuffixList& suffixes) {
    const std::string lowerHost = text::AsciiLowerCase(host);
    std::string_view attribute = TrimControls(domainAttribute);
    if (attribute.starts_with('.')) attribute.remove_prefix(1);
    const std::string domain = text::AsciiLowerCase(attribute);
    if (domain.empty()) return CookieScope{lowerHost, true};
    if (IsAddress(lowerHost)) {
        if (domain != lowerHost) return std::nullopt;
        return CookieScope{lowerHost, true};
    }
    if (!UnderDomain(lowerHost, domain)) return std::nullopt;
    if (suffixes.IsPublicSuffix(domain)) {
        // A host that is itself a public suffix may still set cookies for itself alone.
        if (domain != lowerHost) return std::nullopt;
        return CookieScope{lowerHost, true};
    }
    return CookieScope{domain, false};
}

bool ScopeFits(const CookieScope& scope, std::string_view host) {
    const std::string lowerHost = text::AsciiLowerCase(host);
    return scope.hostOnly ? lowerHost == scope.domain : UnderDomain(lowerHost, scope.domain);
}

bool SendableCookie(std::string_view name, std::string_view value) {
    auto control = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7F;
    };
    return std::none_of(name.begin(), name.end(), control) &&
           std::none_of(value.begin(), value.end(), control);
}

bool AppendCookiePair(std::string& line, std::string_view name, std::string_view value) {
    const std::size_t separator = line.empty() ? 0 : 2;
    if (line.size() + separator + name.size() + 1 + value.size() > kMaxCookieLineBytes)
        return false;
    if (separator != 0) line += "; ";
    line += name;
    line += '=';
    line += value;
    return true;
}

}  // namespace kv::http
