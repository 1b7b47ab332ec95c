// A small model of how the engine query applies an engine definition to result pages, built
// on PCRE2 (dot matches line breaks, greedy, as the pattern dialect's defaults are). It lets
// the shipped definitions be checked against the demo engine before the program's own
// template functions exist, and later serves as an independent second opinion. URL handling
// covers what the demo engine's links need: absolute, server-relative and relative addresses.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kv::testing::model {

struct EngineDefinition {
    std::string name;
    std::string prepareSearchUrl;
    std::string startSearchUrl;
    std::string firstPartUrl;
    int combineType = 0;
    std::string nextRegExpr;
    std::string checkText;
    std::string blockRegExpr;
    std::string itemRegExpr;
    std::string urlRegExpr;
    bool removeHtml = false;
    bool decodeCode = false;
    bool decodePercent = false;
};

// Pattern set split into lines (CR, LF, CR LF; empty lines skipped) and a line into parts.
std::vector<std::string> Lines(const std::string& set);
std::vector<std::string> Parts(const std::string& line);

// Matches of a pattern set: marked or highest group, narrowed by the refining parts.
std::vector<std::string> TextsFor(const std::string& set, const std::string& text,
                                  bool stopAtFirstLine);
std::string BlockFor(const std::string& set, const std::string& text);
// One address text per entry (possibly empty), before the address switches.
std::vector<std::string> ResultFields(const std::string& page, const EngineDefinition& engine);
std::string NextUrl(const EngineDefinition& engine, const std::string& currentUrl,
                    const std::string& page);
// The three address switches in their order.
std::string CleanAddress(const std::string& address, const EngineDefinition& engine);

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);
std::string PercentDecode(const std::string& text);
std::string HtmlDecode(const std::string& text);
std::string RemoveMarkup(const std::string& html);

struct FetchResult {
    int status = 0;
    std::string page;
};
using Fetcher = std::function<FetchResult(const std::string& address)>;

struct QueryOutcome {
    std::vector<std::string> addresses;  // rank i+1 at index i
    std::vector<std::string> requested;  // result page addresses, in order
    std::string failure;                 // why the passes ended early, empty when they did not
};

// The passes of one engine query for `keyword` up to `depth` results.
QueryOutcome Query(const EngineDefinition& engine, const std::string& keyword, int depth,
                   const Fetcher& fetch);

}  // namespace kv::testing::model
