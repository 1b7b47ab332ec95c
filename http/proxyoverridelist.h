// TProxyOverrideList: the proxy bypass list. Hosts it matches are reached directly even when
// a proxy is set. Loads the system's semicolon form or a comma list; entries are host masks
// (wildcardmask.h), optionally with "scheme://" in front and ":port" behind; "<local>" stands
// for every host name without a dot. Belongs to one client; not locked.
// Tests: tests/http/proxyoverridelist_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::http {

class TProxyOverrideList {
  public:
    void Load(std::string_view text);
    // An empty scheme counts as "http", an empty port as "80".
    bool Matches(std::string_view host, std::string_view scheme, std::string_view port) const;

    const std::string& SourceText() const { return source_; }
    // Sorted ignoring ASCII case; duplicates kept.
    const std::vector<std::string>& Entries() const { return entries_; }

  private:
    std::string source_;
    std::vector<std::string> entries_;
};

}  // namespace kv::http
