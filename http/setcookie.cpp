#include "http/setcookie.h"

#include <algorithm>
#include <vector>

#include "http/fieldtext.h"
#include "http/httplimits.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

std::vector<std::string_view> SplitParts(std::string_view raw) {
    std::vector<std::string_view> parts;
    while (true) {
        std::size_t semicolon = raw.find(';');
        if (semicolon == std::string_view::npos) {
            if (!TrimControls(raw).empty() || parts.empty()) parts.push_back(TrimControls(raw));
            return parts;
        }
        parts.push_back(TrimControls(raw.substr(0, semicolon)));
        raw.remove_prefix(semicolon + 1);
    }
}

std::string Unquote(std::string_view s) {
    if (s.starts_with('"')) s.remove_prefix(1);
    if (s.ends_with('"')) s.remove_suffix(1);
    return std::string(s);
}

std::int64_t MaxAgeOf(std::string_view s) {
    std::int64_t value = -1;
    return ReadWholeInteger(s, value) ? value : -1;
}

}  // namespace

TCookie ParseSetCookie(std::string_view raw, UnixSeconds now) {
    TCookie cookie;
    cookie.cookieText = std::string(raw);
    std::vector<std::string_view> parts = SplitParts(raw);
    std::string_view first = parts.front();
    std::size_t eq = first.find('=');
    cookie.name = std::string(first.substr(0, eq));
    if (eq != std::string_view::npos) cookie.value = std::string(first.substr(eq + 1));

    bool hasExpires = false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::string_view part = parts[i];
        std::size_t at = part.find('=');
        std::string key = text::AsciiUpperCase(TrimControls(part.substr(0, at)));
        std::string_view value =
            at == std::string_view::npos ? "" : TrimControls(part.substr(at + 1));
        if (key == "PATH") {
            cookie.path = Unquote(value);
        } else if (key == "EXPIRES") {
            cookie.expires = std::string(value);
            hasExpires = true;
        } else if (key == "DOMAIN") {
            cookie.domain = std::string(value);
        } else if (key == "SECURE") {
            cookie.secure = true;
        } else if (key == "MAX-AGE") {
            cookie.maxAge = MaxAgeOf(value);
        } else if (key == "VERSION") {
            cookie.version = std::string(value);
        } else if (key == "COMMENT") {
            cookie.comment = std::string(value);
        }
    }
    if (!hasExpires && cookie.maxAge >= 0) {
        cookie.expires = FormatInternetDate(now + std::min(cookie.maxAge, kMaxCookieAgeSeconds));
    }
    return cookie;
}

}  // namespace kv::http
