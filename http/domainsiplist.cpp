#include "http/domainsiplist.h"

#include <mutex>

#include "text/textcompare.h"

namespace kv::http {

namespace {

std::optional<std::string> FindPair(const std::vector<std::string>& keys,
                                    const std::vector<std::string>& values, std::string_view key) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (text::SameAsciiNoCase(keys[i], key)) return values[i];
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> TDomainsIPList::AddressOf(std::string_view name) const {
    std::shared_lock lock(lock_);
    return FindPair(names_, addresses_, name);
}

std::optional<std::string> TDomainsIPList::NameOf(std::string_view address) const {
    std::shared_lock lock(lock_);
    return FindPair(addresses_, names_, address);
}

void TDomainsIPList::AddForward(const std::vector<std::string>& addresses, std::string_view name) {
    std::unique_lock lock(lock_);
    for (const std::string& address : addresses) AppendLocked(name, address);
}

void TDomainsIPList::AddReverse(const std::vector<std::string>& names, std::string_view address) {
    std::unique_lock lock(lock_);
    for (const std::string& name : names) AppendLocked(name, address);
}

std::size_t TDomainsIPList::Count() const {
    std::shared_lock lock(lock_);
    return names_.size();
}

void TDomainsIPList::AppendLocked(std::string_view name, std::string_view address) {
    if (name.empty() || address.empty()) return;
    names_.emplace_back(name);
    addresses_.emplace_back(address);
}

}  // namespace kv::http
