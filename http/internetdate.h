// Internet dates of cookies: reading the many forms servers write (RFC 1123, RFC 850,
// asctime, Netscape's "01-Jan-1970", numeric zones) and writing the form of an expiry made
// from Max-Age. Times are instants in seconds since 1970 UTC, so comparing an expiry with
// "now" is the same as comparing both in local time. Tests pin TZ.
// Tests: tests/http/internetdate_test.cpp.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace kv::http {

using UnixSeconds = std::int64_t;

// What an unreadable date reads as: before every other date, so such a cookie has expired.
inline constexpr UnixSeconds kEarliestDate = std::numeric_limits<UnixSeconds>::min();

UnixSeconds NowSeconds();

// The local zone's offset from UTC at that instant, in seconds (east positive). Raises
// HttpError "Failed attempting to retrieve time zone information." when the system cannot
// tell.
std::int64_t LocalZoneOffset(UnixSeconds at);

// "%s, %d %s %d %s %s" in local time: "Tue, 8 Dec 2026 23:03:55 +0100".
std::string FormatInternetDate(UnixSeconds at);

// kEarliestDate when the text cannot be read.
UnixSeconds ReadInternetDate(std::string_view text);

}  // namespace kv::http
