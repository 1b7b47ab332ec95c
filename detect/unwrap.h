// Result addresses that an engine wraps in its own redirect: DuckDuckGo's "uddg=" and Yahoo's
// "RU=" (percent-encoded), Bing's "u=a1..." (base64url).
// Tests: tests/detect/resultpage_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "detect/enginedefinition.h"

namespace kv::detect {

// RFC 4648 base64url, padding optional ("=" and the standard alphabet's "+" "/" accepted too);
// nothing for a text that is not base64.
std::optional<std::string> DecodeBase64Url(std::string_view text);

// The destination inside a wrapped address: the unwrap pattern set's group, decoded. An
// address the pattern does not match is no wrapper and comes back unchanged; one whose value
// does not decode gives the empty text (an entry without an address).
std::string UnwrapAddress(const std::string& address, const std::string& pattern,
                          UnwrapDecoding decoding);

}  // namespace kv::detect
