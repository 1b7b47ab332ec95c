#include "http/internetdate.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "http/fieldtext.h"
#include "http/httperror.h"
#include "http/httpstrings.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

constexpr std::string_view kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsWeekday(std::string_view s) {
    for (std::string_view day : kWeekdays) {
        if (text::SameAsciiNoCase(s, day)) return true;
    }
    return false;
}

// 1 to 12, or 0 when the token is not an English month abbreviation.
int MonthOf(std::string_view token) {
    for (int i = 0; i < 12; ++i) {
        if (text::SameAsciiNoCase(token, kMonths[i])) return i + 1;
    }
    return 0;
}

std::int64_t IntOr(std::string_view s, std::int64_t fallback) {
    std::int64_t value = 0;
    return ReadWholeInteger(s, value) ? value : fallback;
}

// Takes the text up to the separator off the front of `rest`; blanks before it are skipped.
std::string_view NextToken(std::string_view& rest, char separator) {
    rest = TrimControls(rest);
    std::size_t end = rest.find(separator);
    std::string_view token = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return TrimControls(token);
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeap(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(std::int64_t y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// "+hhmm" or "-hhmm" (longer zones are cut there); anything shorter counts as UTC.
std::int64_t ZoneOffset(std::string_view zone) {
    if (zone.size() <= 4 || (zone[0] != '+' && zone[0] != '-')) return 0;
    std::int64_t hours = 0, minutes = 0;
    if (!ReadWholeInteger(zone.substr(1, 2), hours) ||
        !ReadWholeInteger(zone.substr(3, 2), minutes))
        return 0;
    std::int64_t offset = hours * 3600 + minutes * 60;
    return zone[0] == '-' ? -offset : offset;
}

}  // namespace

UnixSeconds NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int64_t LocalZoneOffset(UnixSeconds at) {
    std::time_t t = static_cast<std::time_t>(at);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) throw HttpError(kNoTimeZoneInformation);
    return local.tm_gmtoff;
}

std::string FormatInternetDate(UnixSeconds at) {
    std::time_t t = static_cast<std::time_t>(at);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) throw HttpError(kNoTimeZoneInformation);
    long offset = local.tm_gmtoff;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    char buf[80];
    std::snprintf(buf, sizeof buf, "%s, %d %s %d %02d:%02d:%02d %c%02ld%02ld",
                  kWeekdays[local.tm_wday].data(), local.tm_mday, kMonths[local.tm_mon].data(),
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, sign,
                  offset / 3600, offset % 3600 / 60);
    return buf;
}

UnixSeconds ReadInternetDate(std::string_view input) {
    std::string_view rest = TrimControls(input);
    if (rest.size() >= 3 && IsWeekday(rest.substr(0, 3))) {
        std::size_t blank = rest.find(' ');
        rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
        rest = TrimControls(rest);
    }
    std::size_t firstBlank = rest.find(' ');
    std::size_t dash = rest.find('-', 1);
    char separator = dash != std::string_view::npos && dash < firstBlank ? '-' : ' ';

    std::string_view first = NextToken(rest, separator);
    int month = MonthOf(first);
    std::int64_t day = 1;
    if (month != 0) {
        day = IntOr(NextToken(rest, separator), 1);
    } else {
        day = IntOr(first, 1);
        month = MonthOf(NextToken(rest, separator));
        if (month == 0) return kEarliestDate;
    }

    std::string_view timeText;
    std::string_view yearText = NextToken(rest, ' ');
    std::int64_t year = 0;
    if (!ReadWholeInteger(yearText, year)) {
        // asctime puts the time before the year.
        timeText = yearText;
        if (!ReadWholeInteger(NextToken(rest, ' '), year)) return kEarliestDate;
    }
    if (year < 80) {
        year += 2000;
    } else if (year < 100) {
        year += 1900;
    }
    if (timeText.empty() && rest.find(':') != std::string_view::npos) {
        timeText = NextToken(rest, ' ');
    }
    std::int64_t hms[3] = {0, 0, 0};
    for (int i = 0; i < 3 && !timeText.empty(); ++i) {
        hms[i] = IntOr(NextToken(timeText, ':'), 0);
    }

    if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month) || hms[0] < 0 ||
        hms[0] > 23 || hms[1] < 0 || hms[1] > 59 || hms[2] < 0 || hms[2] > 59) {
        return kEarliestDate;
    }
    std::int64_t seconds =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
        hms[0] * 3600 + hms[1] * 60 + hms[2];
    return seconds - ZoneOffset(TrimControls(rest));
}

}  // namespace kv::http
