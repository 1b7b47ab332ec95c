// Maps a request to its answer: the index page, the five engines and the result sites.
// Tests: tests/tools/demopages_test.cpp.
#pragma once

#include <string>

#include "tools/demoengine/request.h"
#include "tools/demoengine/response.h"

namespace kv::demo {

struct SiteOptions {
    std::string host;  // "127.0.0.1:PORT": result addresses point back to this server
    int slowDelayMs = 2000;
    int siteHosts = 0;  // the result sites' own loopback addresses (0: all on `host`)
};

Response Route(const Request& request, const SiteOptions& options);

}  // namespace kv::demo
