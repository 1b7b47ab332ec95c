// Splitting an address into its parts, the absolute form a proxy is given, and resolving a
// Location value against the current address. Byte-level; never raises.
// Tests: tests/http/httpaddress_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace kv::http {

struct UrlParts {
    std::string scheme;  // empty when the address names none
    std::string user;
    std::string password;
    bool hasUser = false;  // the address carries a user part ("u@", "u:p@", even "@")
    std::string host;
    std::string port;  // empty when the address names none
    std::string path;  // "/" when the address has none; keeps the query

    std::string SchemeOrHttp() const { return scheme.empty() ? "http" : scheme; }
    // An https address (the scheme's name in any case).
    bool Secure() const;
    std::string DefaultPort() const { return Secure() ? "443" : "80"; }
    std::string PortOrDefault() const { return port.empty() ? DefaultPort() : port; }
    // The Host line's value: the host, with ":" + port when the port is not the default.
    std::string HostField() const {
        return port.empty() || port == DefaultPort() ? host : host + ":" + port;
    }
    // host, plus ":" + port when the address gave one
    std::string HostAndPort() const { return port.empty() ? host : host + ":" + port; }
};

UrlParts SplitAddress(std::string_view address);

// scheme + "://" + host + (":" + port when given) + path, "http" when no scheme was given.
std::string AbsoluteTarget(const UrlParts& parts);

// The address with "http://" in front unless it begins with a scheme of lower-case letters,
// digits, "+", "-" and "." followed by "://".
std::string WithHttpPrefix(std::string_view address);

struct RedirectTarget {
    std::string address;
    bool fetchable = true;  // false for a scheme this exchange cannot speak (not http, https)
};

// The new address named by a Location value received on a reply to `current`.
RedirectTarget ResolveLocation(std::string_view current, std::string_view location);

}  // namespace kv::http
