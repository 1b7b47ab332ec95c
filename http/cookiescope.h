// Which hosts a cookie goes to: the scope a Set-Cookie earns on a reply (its host only, or a
// parent domain it may name), the test of a request's host against that scope, and the
// Cookie line with its cap. Both cookie stores use these, so they agree on every rule.
// Tests: tests/http/cookiescope_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "http/publicsuffix.h"

namespace kv::http {

struct CookieScope {
    std::string domain;  // lower-case, without a leading dot
    bool hostOnly = true;
};

// The scope of a cookie received from `host` whose Domain attribute is `domainAttribute`
// (empty: none). Refused (nullopt) when the domain is a public suffix other than the host
// itself, or when the host is not that domain or a name below it (a dot boundary). An
// address as host only ever gets itself.
std::optional<CookieScope> ScopeOfCookie(std::string_view domainAttribute, std::string_view host,
                                         const PublicSuffixList& suffixes = SystemPublicSuffixes());

// The host is the scope's host, or, for a domain, the domain or a name below it.
bool ScopeFits(const CookieScope& scope, std::string_view host);

// Neither name nor value holds a control byte (tab aside): a cookie that would put a line
// break into a request head is not kept.
bool SendableCookie(std::string_view name, std::string_view value);

// Appends "name=value" to a Cookie line after "; ", unless the line would then pass
// kMaxCookieLineBytes; false when the pair was left out.
bool AppendCookiePair(std::string& line, std::string_view name, std::string_view value);

}  // namespace kv::http
