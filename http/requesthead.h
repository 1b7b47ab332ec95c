// The request head of one HTTP/1.1 request (GET or a form POST), and of a proxy tunnel's
// CONNECT, each composed in one buffer in the fixed line order.
// Tests: tests/http/exchange_request_test.cpp compares whole heads byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::http {

struct RequestHeadFields {
    std::string method = "GET";
    std::string target;  // path, or the absolute address through a proxy
    std::string accept;
    std::string reference;
    std::string agent;
    std::string host;  // the target host, with ":" + port when the port is not the default
    std::string username;
    std::string password;
    bool viaProxy = false;  // the proxy sees this head (not through a tunnel)
    std::string proxyUsername;
    std::string proxyPassword;
    std::string cookie;
    // With a body: its type and length.
    std::string contentType;
    std::optional<std::size_t> contentLength;
};

// The request line and header lines, each ending in CR LF, without the closing empty line
// (the caller's handler may still append raw lines).
std::string ComposeRequestHead(const RequestHeadFields& fields);

// The whole head that asks a proxy for a tunnel to `authority` ("host:port").
std::string ComposeConnectHead(std::string_view authority, std::string_view agent,
                               std::string_view proxyUsername, std::string_view proxyPassword);

// Appends "Name: value" lines to a head; each replaces the lines of the same name already
// there (the request line stays). Lines with a CR, an LF or no name are left out.
void ReplaceHeaderLines(std::string& head, const std::vector<std::string>& lines);

// Base64 (RFC 2045, "=" padding) of user + ":" + password.
std::string BasicCredentials(std::string_view user, std::string_view password);

}  // namespace kv::http
