// The system's proxy bypass list on Linux: the environment's no_proxy (then NO_PROXY), in the
// form curl and wget read it, turned into the masks of TProxyOverrideList.
// Tests: tests/http/noproxy_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv::http {

// no_proxy, then NO_PROXY; nullopt when neither is set.
std::optional<std::string> SystemNoProxy();

// The bypass list of a no_proxy value: entries separated by "," (blanks ignored); a domain
// ("example.com") covers itself and its subdomains, a leading dot (".example.com") only the
// subdomains, "host:port" that host on that port only, and "*" every host.
std::string ProxyBypassFromNoProxy(std::string_view noProxy);

}  // namespace kv::http
