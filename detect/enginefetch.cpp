#include "detect/enginefetch.h"

namespace kv::detect {

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
        fetched.status = e.Status();
    }
    return fetched;
}

RequestPacer::Clock::duration RequestPacer::Remaining(Clock::time_point now) const {
    if (!last_ || now >= *last_ + interval_) return Clock::duration::zero();
    return *last_ + interval_ - now;
}

}  // namespace kv::detect
