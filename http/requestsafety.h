// What a request may carry when the address, a Location, a cookie or a local file is hostile:
// the bytes of the request target, header values, host names, and which credentials may
// follow a redirect. Nothing the network sent can add a line to a request head.
// Tests: tests/http/requestsafety_test.cpp (and the wire tests in exchange_hostile_test.cpp).
#pragma once

#include <string>
#include <string_view>

namespace kv::http {

// The target with every byte from 0x00 to 0x20 and 0x7F written as "%XX" (a blank is "%20").
std::string EncodeRequestTarget(std::string_view target);

// Only letters, digits, "-", "." and "_" (or an IPv6 literal in brackets), optionally followed
// by ":" and a port; empty passes, since an empty host fails as a host that does not resolve.
bool IsHostName(std::string_view host);

// Appends "name: value" CR LF. Raises HttpError naming the field when the value holds a CR,
// LF or NUL byte: such a value is never sent.
void AppendHeaderLine(std::string& head, std::string_view name, std::string_view value);

// Scheme, host and port of the two addresses agree (host ignoring ASCII case, an absent
// port read as the scheme's default). Server credentials only follow a redirect that keeps
// all three.
bool SameOrigin(std::string_view from, std::string_view to);

}  // namespace kv::http
