// One engine definition row read into plain values, and the request it starts a query with.
// The query, the self-test and import all read rows through here.
// Tests: tests/detect/resultpage_test.cpp, tests/detect/enginesql_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "data/table.h"

namespace kv::detect {

// How a destination unwrapped from an engine's redirect address is decoded.
enum class UnwrapDecoding { None = 0, Percent = 1, Base64Url = 2 };
inline constexpr int kUnwrapDecodingCount = 3;

struct EngineDefinition {
    std::string name;
    std::string referrer;  // PrepareSearchURL
    std::string startUrl;
    std::string startBody;
    bool post = false;
    std::string checkText;
    std::string blockPattern;
    std::string itemPattern;
    std::string fieldPattern;
    bool removeHtml = false;
    bool decodeCode = false;
    bool decodePercent = false;
    std::string nextPattern;
    int combineType = 0;
    std::string firstPartUrl;
    bool nextIsForm = false;
    std::string unwrapPattern;
    UnwrapDecoding unwrapDecoding = UnwrapDecoding::None;
    bool dropOwnHost = false;
    std::string blockedPattern;
    std::vector<int> blockedStatuses;
    std::vector<std::string> headerLines;
    // Pacing: the least time between two requests to this engine.
    int minSecondsBetweenRequests = 0;
};

// The table's current row.
EngineDefinition ReadEngineDefinition(data::Table& se);
// Every row, in table order.
std::vector<EngineDefinition> ReadEngineDefinitions(data::Table& se);

// "202, 403,429" gives 202, 403, 429; words that are no status are skipped (import checks them).
std::vector<int> ParseStatusList(const std::string& text);
// Lines that are not empty, without their line ends.
std::vector<std::string> NonEmptyLines(const std::string& text);

// One request to an engine. A GET has no body.
struct EngineRequest {
    std::string address;
    std::string body;
    bool post = false;
    std::string referrer;
};

// The first result page's request for the keyword.
EngineRequest FirstRequest(const EngineDefinition& engine, const std::string& keyword);

}  // namespace kv::detect
