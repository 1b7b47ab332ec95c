// The engine self-test: each engine asked once, one verdict each, and what it found.
// Tests: tests/detect/enginecheck_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "detect/enginedefinition.h"
#include "detect/resultpage.h"
#include "http/httpunit.h"

namespace kv::detect {

inline constexpr const char* kDefaultCheckKeyword = "red shoes";

struct EngineCheck {
    std::string name;
    ResultPageReading reading;
    std::string Line() const { return VerdictLine(name, reading); }
};

// The first result page of the engine for the keyword, read and judged. An engine without a
// query address (the SearXNG row before the user sets one) is unreachable without a request.
EngineCheck CheckEngine(http::HttpUnit& http, const EngineDefinition& engine,
                        const std::string& keyword);

// The found addresses one per line, then "next: " and the next request ("GET address",
// "POST address body" or "none").
std::string ShowFindings(const ResultPageReading& reading);

}  // namespace kv::detect
