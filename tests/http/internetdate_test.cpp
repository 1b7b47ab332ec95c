#include "http/internetdate.h"

#include <gtest/gtest.h>

#include "tests/http/fixed_zone.h"

namespace kv::http::testing {
namespace {

struct DateCase {
    const char* text;
    UnixSeconds utc;
};

// Real-world forms: RFC 1123, RFC 850, asctime, Netscape cookies, numeric zones, sloppy case.
const DateCase kReadable[] = {
    {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777},
    {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777},
    {"Sun Nov  6 08:49:37 1994", 784111777},
    {"Sun Nov 6 08:49:37 1994 GMT", 784111777},
    {"  06 Nov 1994 08:49:37 GMT  ", 784111777},
    {"sun, 06 nov 1994 08:49:37 gmt", 784111777},
    {"Sun, 06 Nov 1994 08:49:37 UTC", 784111777},
    {"Sun, 06 Nov 1994 09:49:37 +0100", 784111777},
    {"Sun, 06 Nov 1994 03:49:37 -0500", 784111777},
    {"Thu, 01-Jan-1970 00:00:01 GMT", 1},
    {"Tue, 8 Dec 2026 23:03:55 +0100", 1796767435},
    {"Fri, 31 Dec 1999 23:59:59 -0500", 946702799},
    {"Wed, 09 Jun 2021 10:18:14 GMT", 1623233894},
    {"Sun, 06 Nov 1994", 784080000},
    {"Nov 6 1994", 784080000},
    {"Sun, xx Nov 1994 08:49:37 GMT", 783679777},  // a day that is not a number is 1
    {"Mon, 01-Jan-79 00:00:00 GMT", 3439756800},   // below 80: 2000s
    {"Tue, 01-Jan-80 00:00:00 GMT", 315532800},    // 80 to 99: 1900s
    {"Thu, 29 Feb 2024 12:00:00 GMT", 1709208000},
    {"Sun, 06 Nov 1994 08:aa:37 GMT", 784111777 - 49 * 60},  // a bad time part is 0
};

const char* const kUnreadable[] = {
    "",
    "garbage",
    "0",
    "Sun, 06 Foo 1994 08:49:37 GMT",
    "Sun, 32 Nov 1994 08:49:37 GMT",
    "Thu, 29 Feb 2023 12:00:00 GMT",
    "Wed, 09 Jun 2021 25:00:00 GMT",
    "Wed, 09 Jun year 10:18:14 GMT",
    "Wed,",
};

TEST(InternetDateTest, ReadsTheFormsServersWrite) {
    FixedZone zone(kBerlin);
    for (const DateCase& c : kReadable) EXPECT_EQ(ReadInternetDate(c.text), c.utc) << c.text;
}

TEST(InternetDateTest, UnreadableTextIsTheEarliestDate) {
    FixedZone zone(kBerlin);
    for (const char* text : kUnreadable) EXPECT_EQ(ReadInternetDate(text), kEarliestDate) << text;
}

TEST(InternetDateTest, WritesLocalTimeWithTheZoneOffset) {
    {
        FixedZone zone(kBerlin);
        EXPECT_EQ(FormatInternetDate(1796767435), "Tue, 8 Dec 2026 23:03:55 +0100");
        EXPECT_EQ(FormatInternetDate(784111777), "Sun, 6 Nov 1994 09:49:37 +0100");
        EXPECT_EQ(FormatInternetDate(1623233894), "Wed, 9 Jun 2021 12:18:14 +0200");  // summer
        EXPECT_EQ(LocalZoneOffset(1623233894), 7200);
    }
    {
        FixedZone zone(kNewYork);
        EXPECT_EQ(FormatInternetDate(946702799), "Fri, 31 Dec 1999 23:59:59 -0500");
    }
}

TEST(InternetDateTest, WrittenDatesReadBackToTheSameInstant) {
    for (const char* tz : {kBerlin, kNewYork, "UTC0", "IST-5:30"}) {
        FixedZone zone(tz);
        for (UnixSeconds t : {UnixSeconds{0}, UnixSeconds{784111777}, UnixSeconds{1623233894},
                              UnixSeconds{4102444799}}) {
            EXPECT_EQ(ReadInternetDate(FormatInternetDate(t)), t) << tz << " " << t;
        }
    }
}

}  // namespace
}  // namespace kv::http::testing
