// What one engine's result page gives a run: the engine's definition as the query reads it,
// and the reading of one fetched result page (its result addresses, cleaned, and the next
// result page to ask for).
// Tests: tests/detect/detectionrun_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/table.h"

namespace kv::detect {

struct EngineDefinition {
    std::string name;
    std::string startUrl;
    std::string prepareUrl;  // the referrer of the first request
    std::string checkText;
    std::string blockPattern;
    std::string itemPattern;
    std::string fieldPattern;
    bool decodePercent = false;
    bool decodeCode = false;
    bool removeHtml = false;
    std::string nextPattern;
    int combineType = 0;
    std::string firstPartUrl;
};

// The definition whose SEName is the name exactly; nullopt when the table has none.
std::optional<EngineDefinition> ReadEngineDefinition(data::Table& engines, const std::string& name);

struct ResultPageReading {
    std::vector<std::string> results;  // in page order, at most depth - taken
    std::string nextAddress;           // "" when the depth is reached or there is no next page
};

// One fetched result page at `address` (its final address), `taken` results being read from
// earlier pages. Raises what a pattern that cannot be compiled raises.
ResultPageReading ReadResultPage(const EngineDefinition& engine, const std::string& page,
                                 const std::string& address, int taken, int depth);

}  // namespace kv::detect
