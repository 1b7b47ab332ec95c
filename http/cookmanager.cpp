#include "http/cookmanager.h"

#include <algorithm>

#include "http/fieldtext.h"
#include "http/httpaddress.h"
#include "http/httplimits.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

// "/" and everything up to and including the last "/" before the query.
std::string DirectoryOf(std::string_view path) {
    path = path.substr(0, path.find('?'));
    std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return "/";
    std::string dir(path.substr(0, slash + 1));
    return dir.starts_with('/') ? dir : "/" + dir;
}

}  // namespace

bool IsDottedAddress(std::string_view host) {
    int parts = 0;
    while (true) {
        std::size_t dot = host.find('.');
        std::string_view part = host.substr(0, dot);
        unsigned value = 0;
        if (!ReadWholeInteger(part, value) || value > 255) return false;
        ++parts;
        if (dot == std::string_view::npos) return parts == 4;
        host.remove_prefix(dot + 1);
    }
}

void TCookManager::AddCookie(std::string_view raw, std::string_view address, UnixSeconds now) {
    if (mode_ == TCookieMode::Off) return;
    std::string host = SplitAddress(WithHttpPrefix(address)).host;
    TCookie cookie = ParseSetCookie(raw, now);
    if (!SendableCookie(cookie.name, cookie.value)) return;
    std::optional<CookieScope> scope = ScopeOfCookie(cookie.domain, host);
    if (!scope) return;
    cookie.domain = scope->domain;

    auto entry = std::find_if(domains_.begin(), domains_.end(), [&](const DomainCookies& d) {
        return d.scope.domain == scope->domain && d.scope.hostOnly == scope->hostOnly;
    });
    if (entry == domains_.end()) {
        if (domains_.size() >= kMaxCookieDomains) return;
        entry = domains_.insert(domains_.end(), DomainCookies{std::move(*scope), {}});
    }
    auto same = std::find_if(entry->cookies.begin(), entry->cookies.end(),
                             [&](const TCookie& c) { return c.name == cookie.name; });
    if (same != entry->cookies.end()) {
        *same = std::move(cookie);
    } else if (entry->cookies.size() < kMaxCookiesPerDomain) {
        entry->cookies.push_back(std::move(cookie));
    }
}

std::string TCookManager::CookieText(std::string_view address, UnixSeconds now) {
    if (mode_ == TCookieMode::Off) return {};
    for (DomainCookies& d : domains_) {
        std::erase_if(d.cookies, [now](const TCookie& c) {
            // The text has whole seconds: an expiry in the current second has passed.
            return !c.expires.empty() && ReadInternetDate(c.expires) <= now;
        });
    }
    UrlParts parts = SplitAddress(WithHttpPrefix(address));
    std::string requestPath = DirectoryOf(parts.path);

    std::vector<const TCookie*> fitting;
    for (const DomainCookies& d : domains_) {
        if (!ScopeFits(d.scope, parts.host)) continue;
        for (const TCookie& c : d.cookies) {
            if (!c.path.empty() && requestPath.starts_with(c.path) && !c.secure &&
                !c.value.empty()) {
                fitting.push_back(&c);
            }
        }
    }
    std::stable_sort(fitting.begin(), fitting.end(),
                     [](const TCookie* a, const TCookie* b) { return a->path < b->path; });
    std::string out;
    for (auto it = fitting.rbegin(); it != fitting.rend(); ++it)
        AppendCookiePair(out, (*it)->name, (*it)->value);
    return out;
}

std::size_t TCookManager::Count() const {
    std::size_t count = 0;
    for (const DomainCookies& d : domains_) count += d.cookies.size();
    return count;
}

void MergeCookieText(std::string& cookie, std::string_view text) {
    bool blank = std::all_of(cookie.begin(), cookie.end(),
                             [](char c) { return static_cast<unsigned char>(c) <= ' '; });
    if (blank) {
        cookie = std::string(text);
    } else if (!text.empty()) {
        cookie += "; ";
        cookie += text;
    }
}

}  // namespace kv::http
