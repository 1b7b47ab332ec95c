// The user-visible texts of the parseutils folder outside the pattern engine (whose compile
// and search errors are listed in regexpr_program.h), each exactly once.
#pragma once

#include <string_view>

namespace kv::parseutils::strings {

// The URL wrappers: base and relative address, or the address.
inline constexpr std::string_view kCantCombineUrl = "Can't combine URL: Base: %s; Url: %s";
inline constexpr std::string_view kCantCanonicalizeUrl = "Can't canonicalize url %s";

// The C interface's last error: the argument's name, or a failure of no known kind.
inline constexpr std::string_view kListIsNull = "%s: the list is NULL";
inline constexpr std::string_view kUnknownFailure = "Unknown failure in the template library";

}  // namespace kv::parseutils::strings
