// libFuzzer entry for Set-Cookie values and the Internet dates inside them. Every input is
// parsed as a Set-Cookie value and read as a date; an expiry made from Max-Age must read back
// as the instant it was made from, and a date that reads must write and read back to the
// same instant. Anything else, or a crash, is a bug.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "http/httperror.h"
#include "http/httplimits.h"
#include "http/internetdate.h"
#include "http/setcookie.h"

namespace {

using namespace kv::http;

constexpr UnixSeconds kNow = 1796767435;
// Instants written and read back: from 1970, where zone offsets are whole minutes, to the
// last year of four digits.
constexpr UnixSeconds kFirstWritable = 0;
constexpr UnixSeconds kLastWritable = 253402214399;  // 9999-12-30

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A zone with an offset in minutes and summer time, so both signs and halves are read.
    setenv("TZ", "America/St_Johns", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    try {
        const TCookie cookie = ParseSetCookie(input, kNow);
        if (cookie.maxAge >= 0) {
            // An expiry made from Max-Age (an Expires attribute, when given, wins).
            const UnixSeconds made = kNow + std::min(cookie.maxAge, kMaxCookieAgeSeconds);
            if (cookie.expires == FormatInternetDate(made))
                Require(ReadInternetDate(cookie.expires) == made);
        }
        const UnixSeconds at = ReadInternetDate(input);
        if (at != kEarliestDate && at >= kFirstWritable && at <= kLastWritable)
            Require(ReadInternetDate(FormatInternetDate(at)) == at);
    } catch (const HttpError&) {
        return 0;  // the local zone cannot be told: a failure with its message
    }
    return 0;
}
