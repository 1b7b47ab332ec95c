// The shared cookie list: name=value pairs kept for the host that set them (or the parent
// domain it named, under the same rules as the cookie manager), in order of first arrival,
// and sent only to the hosts they fit, until their owner clears the list. Names ignore
// ASCII case within one host or domain.
// Tests: tests/http/cookies_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "http/cookiescope.h"

namespace kv::http {

class SharedCookieList {
  public:
    // A cookie received from `host` with that Domain attribute (empty: none): the entry of
    // that name in its scope gets the value; a new name is appended; an empty value removes.
    // A cookie whose domain is refused for the host, or that holds a control byte, is not
    // kept.
    void Set(std::string_view host, std::string_view domain, std::string_view name,
             std::string_view value);
    void Clear() { entries_.clear(); }
    bool Empty() const { return entries_.empty(); }
    std::size_t Count() const { return entries_.size(); }
    // The entries that fit the host as "n=v; n2=v2", up to kMaxCookieLineBytes, after the
    // pairs of `line` (the Cookie line a request carries already); a name the line has is
    // not added again.
    std::string Text(std::string_view host, std::string line = {}) const;

  private:
    struct Entry {
        CookieScope scope;
        std::string name;
        std::string value;
    };
    std::vector<Entry> entries_;
};

}  // namespace kv::http
