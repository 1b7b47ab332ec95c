// Masks of the proxy bypass list: "*" any run of characters, "?" any one character, "[set]"
// one character of a set or range ("[abc]", "[a-c]"), ignoring ASCII case. Runs in time
// proportional to mask length times text length; never recurses. Tests:
// tests/http/proxyoverridelist_test.cpp.
#pragma once

#include <string_view>

namespace kv::http {

bool MatchesMask(std::string_view text, std::string_view mask);

}  // namespace kv::http
