// The shared cookie list: name=value pairs from every host, in order of first arrival, sent
// whole with every request until its owner clears it. Names ignore ASCII case.
// Tests: tests/http/cookies_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv::http {

class SharedCookieList {
  public:
    // The entry of that name gets the value; a new name is appended; an empty value removes.
    void Set(std::string_view name, std::string_view value);
    void Clear() { entries_.clear(); }
    bool Empty() const { return entries_.empty(); }
    // The entries as "n=v; n2=v2".
    std::string Text() const;
    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace kv::http
