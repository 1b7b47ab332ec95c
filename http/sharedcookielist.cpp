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

namespace {

bool LineHasName(std::string_view line, std::string_view name) {
    while (!line.empty()) {
        const std::size_t end = std::min(line.find(';'), line.size());
        std::string_view pair = line.substr(0, end);
        while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
        if (text::SameAsciiNoCase(pair.substr(0, pair.find('=')), name)) return true;
        line.remove_prefix(std::min(end + 1, line.size()));
    }
    return false;
}

}  // namespace

std::string SharedCookieList::Text(std::string_view host, std::string line) const {
    const std::size_t own = line.size();
    for (const Entry& e : entries_) {
        if (ScopeFits(e.scope, host) && !LineHasName(std::string_view(line).substr(0, own), e.name))
            AppendCookiePair(line, e.name, e.value);
    }
    return line;
}

}  // namespace kv::http
