#include "detect/enginefetch.h"

#include <charconv>

#include "http/httpstrings.h"

namespace kv::detect {

int StatusOfFailure(const std::string& message) {
    const std::string_view prefix = http::kFetchConnectionError;
    if (!message.starts_with(prefix)) return 0;
    int code = 0;
    const char* begin = message.data() + prefix.size();
    const auto [ptr, ec] = std::from_chars(begin, message.data() + message.size(), code);
    if (ec != std::errc() || ptr == begin || code < 100 || code > 599) return 0;
    return code;
}

FetchedPage FetchEnginePage(http::HttpUnit& http, const EngineDefinition& engine,
                            const EngineRequest& request) {
    FetchedPage fetched;
    fetched.address = request.address;
    try {
        http::FetchOptions options;
        if (request.post) options.postBody = request.body;
        options.headerLines = engine.headerLines;
        http.FetchPage(fetched.address, "", request.referrer, fetched.body, options);
    } catch (const http::FetchError& e) {
        fetched.failure = e.what();
        fetched.status = StatusOfFailure(fetched.failure);
    }
    return fetched;
}

RequestPacer::Clock::duration RequestPacer::Remaining(Clock::time_point now) const {
    if (!last_ || now >= *last_ + interval_) return Clock::duration::zero();
    return *last_ + interval_ - now;
}

}  // namespace kv::detect
