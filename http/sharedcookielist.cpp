#include "http/sharedcookielist.h"

#include <algorithm>

#include "http/httplimits.h"
#include "text/textcompare.h"

namespace kv::http {

void SharedCookieList::Set(std::string_view host, std::string_view domain, std::string_view name,
                           std::string_view value) {
    if (!SendableCookie(name, value)) return;
    std::optional<CookieScope> scope = ScopeOfCookie(domain, host);
    if (!scope) return;
    auto entry = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.scope.domain == scope->domain && e.scope.hostOnly == scope->hostOnly &&
               text::SameAsciiNoCase(e.name, name);
    });
    if (value.empty()) {
        if (entry != entries_.end()) entries_.erase(entry);
    } else if (entry != entries_.end()) {
        entry->value = std::string(value);
    } else if (entries_.size() < kMaxSharedCookies) {
        entries_.push_back(Entry{std::move(*scope), std::string(name), std::string(value)});
    }
}

std::string SharedCookieList::Text(std::string_view host) const {
    std::string out;
    for (const Entry& e : entries_) {
        if (ScopeFits(e.scope, host)) AppendCookiePair(out, e.name, e.value);
    }
    return out;
}

}  // namespace kv::http
