// The pages of the result sites under /site/NN/: ordinary pages whose META keywords come from
// the query's words (in several spellings and separator styles), and the awkward sites.
// Tests: tests/tools/demopages_test.cpp, tests/tools/demoserver_test.cpp.
#pragma once

#include <optional>
#include <string>

#include "tools/demoengine/request.h"
#include "tools/demoengine/response.h"
#include "tools/demoengine/topic.h"

namespace kv::demo {

// Answers every path under /site/ (404 for what is not a site page); nothing for other paths.
// `slowDelayMs` is how long the slow site keeps its page back.
std::optional<Response> ServeSite(const Request& request, const std::string& host, int slowDelayMs,
                                  int siteHosts = 0);

// The META keywords content of an ordinary site page as written in the page (spelling and
// separators as the site's style has them), before HTML escaping.
std::string KeywordContent(const Topic& topic, int site);

}  // namespace kv::demo
