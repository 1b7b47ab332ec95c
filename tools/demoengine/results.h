// The result lists of the five engines for a keyword: which sites each engine lists, in which
// order, and the test scenarios a keyword can ask for with trigger words.
//
// Trigger words (whole words of the keyword, any engine):
//   noresults   every engine answers a page without entries and without a next link
//   twopages    the results end after the second page (no next link there)
//   failsecond  the second result page answers 500 Internal Server Error
//   nocheck     result pages leave out the engines' check texts
//   emptyentry  the entry at rank 3 carries no address
//   repeat      the entry at rank 5 repeats the address of rank 2
// Tests: tests/tools/demopages_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/demoengine/sites.h"

namespace kv::demo {

enum class Engine { AltaVista, AllTheWeb, Google, Msn, Teoma };
inline constexpr Engine kEngines[] = {Engine::AltaVista, Engine::AllTheWeb, Engine::Google,
                                      Engine::Msn, Engine::Teoma};

struct EngineLayout {
    std::string_view name;    // the engine definition's SEName
    std::string_view folder;  // "/altavista/"
    int pageSize;
    int resultCount;
};
const EngineLayout& LayoutOf(Engine engine);

struct Scenario {
    bool noResults = false;
    bool twoPages = false;
    bool failSecond = false;
    bool noCheck = false;
    bool emptyEntry = false;
    bool repeat = false;
};
Scenario ScenarioOf(std::string_view keyword);

struct ResultEntry {
    int rank = 0;  // from 1 across all pages
    int site = 0;
    SiteAddress address;
    bool hasAddress = true;  // false: the entry is listed without a link
};

// Every result of the engine for the keyword, all pages together.
// `siteHosts`: the sites' own loopback addresses (SiteHost), 0 for all on `host`.
std::vector<ResultEntry> ResultsFor(Engine engine, std::string_view keyword,
                                    const std::string& host, int siteHosts = 0);

}  // namespace kv::demo
