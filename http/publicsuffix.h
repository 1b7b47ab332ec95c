// Public suffixes ("com", "co.uk", "github.io"): domains under which unrelated parties own
// names, so that no cookie may be set for one of them. Read from Debian's publicsuffix file
// when it is installed, else from a small built-in list of the common ones.
// Tests: tests/http/cookiescope_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace kv::http {

// Where Debian's publicsuffix package puts the list.
inline constexpr const char* kPublicSuffixFile = "/usr/share/publicsuffix/public_suffix_list.dat";

class PublicSuffixList {
  public:
    // The list in the published text form: one rule a line, "//" comments, "*." wildcards
    // and "!" exceptions.
    static PublicSuffixList FromText(std::string_view text);
    // The file's rules, or the built-in ones when it cannot be read or holds none.
    static PublicSuffixList FromFileOrBuiltIn(const std::string& path);
    static PublicSuffixList BuiltIn();

    // The domain (lower-case, without a leading dot) is a public suffix. A single label is
    // always one.
    bool IsPublicSuffix(std::string_view domain) const;
    std::size_t RuleCount() const { return rules_.size() + wildcards_.size(); }

  private:
    std::unordered_set<std::string> rules_;
    std::unordered_set<std::string> wildcards_;   // "*.ck" is kept as "ck"
    std::unordered_set<std::string> exceptions_;  // "!www.ck" is kept as "www.ck"
};

// The list of this machine, read once.
const PublicSuffixList& SystemPublicSuffixes();

}  // namespace kv::http
