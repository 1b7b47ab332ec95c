// The request head of one GET, composed in one buffer in the fixed line order.
// Tests: tests/http/exchange_request_test.cpp compares whole heads byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace kv::http {

struct RequestHeadFields {
    std::string target;  // path, or the absolute address through a proxy
    std::string accept;
    std::string reference;
    std::string agent;
    std::string host;  // the target host, never with a port
    std::string username;
    std::string password;
    bool viaProxy = false;
    std::string proxyUsername;
    std::string proxyPassword;
    std::string cookie;
};

// The request line and header lines, each ending in CR LF, without the closing empty line
// (the caller's handler may still append raw lines). Blanks and control bytes of the target
// and the referrer are percent-encoded; a host that is no host name, or a value holding CR,
// LF or NUL, raises HttpError with the reason.
std::string ComposeRequestHead(const RequestHeadFields& fields);

// Base64 (RFC 2045, "=" padding) of user + ":" + password.
std::string BasicCredentials(std::string_view user, std::string_view password);

}  // namespace kv::http
