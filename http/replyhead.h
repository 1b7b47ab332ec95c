// Reading single lines of a reply head: the head-less "<HTML>" reply, status lines and fields.
// Tests: tests/http/replyhead_test.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv::http {

// The first line of a reply that sends a page without any head.
bool IsHtmlStartLine(std::string_view line);

struct StatusLine {
    int code = 0;  // 0 when characters 10 to 12 are not a number
    std::string reason;
};
// A line whose first 8 characters are "HTTP/1.0" or "HTTP/1.1", wherever it stands.
std::optional<StatusLine> ParseStatusLine(std::string_view line);

struct HeaderField {
    std::string name;   // lower-cased
    std::string value;  // leading blanks skipped
};
std::optional<HeaderField> ParseHeaderField(std::string_view line);

// A Transfer-Encoding value whose last coding is "chunked" (any case).
bool IsChunkedTransfer(std::string_view value);

// The codings a body carries besides chunked: its Content-Encoding, then the codings its
// Transfer-Encoding lists before chunked ("gzip, chunked" is gzip). Empty when there are none.
std::string BodyCodings(std::string_view contentEncoding, std::string_view transferEncoding);

// The trimmed value as a non-negative integer, or -1 (not given) when it is not one.
std::int64_t ParseContentLength(std::string_view value);

}  // namespace kv::http
