#include "http/replyhead.h"

#include <charconv>

#include "text/textcompare.h"

namespace kv::http {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

bool IsHtmlStartLine(std::string_view line) {
    return line.size() >= 6 && text::SameAsciiNoCase(line.substr(0, 6), "<HTML>");
}

std::optional<StatusLine> ParseStatusLine(std::string_view line) {
    std::string_view version = line.substr(0, 8);
    if (version != "HTTP/1.0" && version != "HTTP/1.1") return std::nullopt;
    StatusLine status;
    std::string_view code = line.size() > 9 ? line.substr(9, 3) : std::string_view{};
    int value = 0;
    auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), value);
    if (error == std::errc{} && end == code.data() + code.size()) status.code = value;
    if (line.size() > 13) status.reason = std::string(line.substr(13));
    return status;
}

std::optional<HeaderField> ParseHeaderField(std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return HeaderField{text::AsciiLowerCase(line.substr(0, colon)), std::string(value)};
}

std::int64_t ParseContentLength(std::string_view value) {
    value = TrimBlanks(value);
    std::int64_t length = -1;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (value.empty() || error != std::errc{} || end != value.data() + value.size() || length < 0) {
        return -1;
    }
    return length;
}

}  // namespace kv::http
