// The result pages of the five engines. Each engine writes its own markup, so that between
// them the demo engine definitions (resources/SE-demo.sql) need every template feature.
// Tests: tests/tools/demopages_test.cpp, tests/tools/enginedefinitions_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/demoengine/request.h"
#include "tools/demoengine/response.h"
#include "tools/demoengine/results.h"

namespace kv::demo {

// One result page as the renderers see it.
struct ResultPage {
    std::string keyword;  // as asked, decoded
    std::string host;     // "127.0.0.1:PORT"
    int pageIndex = 0;    // from 0
    int pageCount = 0;    // pages the engine has for the keyword
    int total = 0;        // results the engine has for the keyword
    int firstRank = 0;    // of this page's entries, for the "1 - 10 of 40" lines
    int lastRank = 0;
    std::vector<ResultEntry> entries;  // this page's
    bool hasNext = false;
    bool withCheckText = true;
};

std::string RenderAltaVista(const ResultPage& page);
std::string RenderAllTheWeb(const ResultPage& page);
std::string RenderGoogle(const ResultPage& page);
std::string RenderMsn(const ResultPage& page);
std::string RenderTeoma(const ResultPage& page);

// Answers the engines' addresses (home pages, result pages, click-through redirectors);
// nothing for any other path.
std::optional<Response> ServeEngine(const Request& request, const std::string& host,
                                    int siteHosts = 0);

// Shared by the renderers.
std::string EntryTitle(const ResultEntry& entry, const std::string& keyword);
std::string EntrySnippet(const ResultEntry& entry, const std::string& keyword,
                         const std::string& boldTag);
// The address with each word of its slug wrapped in `tag`, as an engine shows it; the rest
// is HTML-escaped.
std::string MarkedAddress(const SiteAddress& address, const std::string& tag);
// The address without "http://", escaped, for the green line under an entry.
std::string ShownAddress(const SiteAddress& address);

}  // namespace kv::demo
