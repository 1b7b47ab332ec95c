#include "http/noproxy.h"

#include <cstdlib>

namespace kv::http {

std::optional<std::string> SystemNoProxy() {
    for (const char* name : {"no_proxy", "NO_PROXY"})
        if (const char* v = std::getenv(name)) return std::string(v);
    return std::nullopt;
}

std::string ProxyBypassFromNoProxy(std::string_view noProxy) {
    std::string out;
    const auto add = [&out](std::string_view mask) {
        if (!out.empty()) out += ',';
        out += mask;
    };
    std::size_t start = 0;
    while (start <= noProxy.size()) {
        const std::size_t comma = std::min(noProxy.find(',', start), noProxy.size());
        std::string entry;
        for (char c : noProxy.substr(start, comma - start))
            if (c != ' ' && c != '\t') entry += c;
        start = comma + 1;
        // The masks' own special characters have no meaning in no_proxy.
        if (entry.empty() || entry.find_first_of("?[],;\"") != std::string::npos) continue;
        if (entry == "*") {
            add("*");
        } else if (entry.front() == '.') {
            add("*" + entry);
        } else {
            add(entry);
            add("*." + entry);
        }
    }
    return out;
}

}  // namespace kv::http
