// One answer of the demo engine and its bytes on the wire (HTTP/1.0, connection closed after).
// Tests: tests/tools/demopages_test.cpp.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kv::demo {

inline constexpr const char* kHtmlType = "text/html; charset=utf-8";

struct Response {
    int status = 200;
    std::string reason = "OK";
    std::string contentType = kHtmlType;
    std::vector<std::pair<std::string, std::string>> headers;  // besides the standard ones
    std::string body;
    int extraDelayMs = 0;         // on top of the server's latency (the slow site)
    std::string contentEncoding;  // the body is already coded so ("" for none)
    bool chunked = false;         // sent chunked, as HTTP/1.1
};

Response HtmlPage(std::string body);
// A small HTML page for an error status.
Response ErrorPage(int status, const std::string& reason);
// A redirect that still carries an HTML content type, as real servers send it.
Response Redirect(int status, const std::string& location);

std::string Serialize(const Response& response);

}  // namespace kv::demo
