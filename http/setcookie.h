// One cookie as a Set-Cookie value describes it, and the parse of that value.
// Tests: tests/http/cookies_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "http/internetdate.h"

namespace kv::http {

struct TCookie {
    std::string name;   // before the first "=" of the first part
    std::string value;  // after it
    std::string domain;
    std::string path;     // one leading and one trailing double quote removed
    std::string expires;  // as received, or made from Max-Age
    bool secure = false;
    std::int64_t maxAge = -1;  // -1: absent or not a number
    std::string version;
    std::string comment;
    std::string cookieText;  // the raw value parsed
};

// Without Expires, a Max-Age of 0 or more becomes an expiry of now + Max-Age, written as
// an Internet date in the local zone. Raises HttpError when the local zone is unknown.
TCookie ParseSetCookie(std::string_view raw, UnixSeconds now);

}  // namespace kv::http
