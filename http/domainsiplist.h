// TDomainsIPList: the process-wide host cache of (host name, address) pairs, so that a host
// is looked up once per run. Pairs are only appended; lookups ignore ASCII case. Safe to use
// from any thread: lookups share a read lock, additions take the write lock.
// Tests: tests/http/domainsiplist_test.cpp.
#pragma once

#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kv::http {

class TDomainsIPList {
  public:
    // The address of the first pair with this name, if any.
    std::optional<std::string> AddressOf(std::string_view name) const;
    // The name of the first pair with this address, if any.
    std::optional<std::string> NameOf(std::string_view address) const;

    // Forward lookup results: (name, address) for each address, in order.
    void AddForward(const std::vector<std::string>& addresses, std::string_view name);
    // Reverse lookup results: (name, address) for each name, in order.
    void AddReverse(const std::vector<std::string>& names, std::string_view address);

    std::size_t Count() const;

  private:
    // Appends unless one side is empty; duplicates are appended too.
    void AppendLocked(std::string_view name, std::string_view address);

    mutable std::shared_mutex lock_;
    std::vector<std::string> names_;
    std::vector<std::string> addresses_;  // parallel to names_
};

}  // namespace kv::http
