#include "http/sharedcookielist.h"

#include <algorithm>

#include "http/httplimits.h"
#include "text/textcompare.h"

namespace kv::http {

void SharedCookieList::Set(std::string_view name, std::string_view value) {
    auto entry = std::find_if(entries_.begin(), entries_.end(), [name](const auto& e) {
        return text::SameAsciiNoCase(e.first, name);
    });
    if (value.empty()) {
        if (entry != entries_.end()) entries_.erase(entry);
    } else if (entry != entries_.end()) {
        entry->second = std::string(value);
    } else if (entries_.size() < kMaxSharedCookies) {
        entries_.emplace_back(std::string(name), std::string(value));
    }
}

std::string SharedCookieList::Text() const {
    std::string out;
    for (const auto& [name, value] : entries_) {
        if (!out.empty()) out += "; ";
        out += name + "=" + value;
    }
    return out;
}

}  // namespace kv::http
