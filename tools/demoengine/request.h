// The request head of one HTTP/1.0 exchange: the request line and the header lines up to the
// empty line. Only what the demo engine needs is kept.
// Tests: tests/tools/demopages_test.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv::demo {

// A head longer than this is refused: no client of ours sends more than a few hundred bytes.
inline constexpr std::size_t kMaxRequestHeadBytes = 16 * 1024;

struct Request {
    std::string method;
    std::string path;   // without the query; an absolute target ("http://h/p") is cut to "/p"
    std::string query;  // the text after "?", without the fragment
    std::string body;   // a POST's form data
};

// A POST body longer than this is refused: the demo engines take a keyword and a few fields.
inline constexpr std::size_t kMaxRequestBodyBytes = 64 * 1024;

enum class HeadStatus {
    Incomplete,  // the empty line has not arrived yet
    Complete,
    Bad,  // not a request head: answer 400
};

struct HeadResult {
    HeadStatus status = HeadStatus::Incomplete;
    Request request;
    std::size_t headBytes = 0;      // up to and including the empty line
    std::size_t contentLength = 0;  // announced body bytes (Content-Length)
};

// Reads the head from the bytes received so far. Lines end in LF, with or without CR.
HeadResult ParseRequestHead(std::string_view received);

}  // namespace kv::demo
