// Everything done to one fetched result page of an engine, as pure functions: the result
// addresses (designed switches, unwrapping, own-domain addresses dropped), the request for
// the next page (link or form), and the page's verdict (works, blocked, no results,
// definition out of date, unreachable). The query loop and the self-test call these.
// Tests: tests/detect/resultpage_test.cpp, tests/detect/livedefinitions_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "detect/enginedefinition.h"

namespace kv::detect {

enum class Verdict { Works, Blocked, NoResults, OutOfDate, Unreachable };

// What a request brought back: the page and its final address, or the fetch's failure.
struct FetchedPage {
    std::string address;
    std::string body;
    std::string failure;  // the failure log line; empty when the page arrived
    int status = 200;     // the HTTP status of a failed exchange, 0 when there was none
};

struct ResultPageReading {
    Verdict verdict = Verdict::Works;
    std::string reason;  // why, for the verdict line ("status 429", "check text missing", ...)
    std::vector<std::string> addresses;  // in page order; an entry without one is ""
    std::optional<EngineRequest> next;
};

// The result addresses of a page, in page order.
std::vector<std::string> ReadResultAddresses(const EngineDefinition& engine,
                                             const std::string& pageAddress,
                                             const std::string& page);

// The request for the page after this one, if the page offers one.
std::optional<EngineRequest> NextRequest(const EngineDefinition& engine, const EngineRequest& sent,
                                         const std::string& pageAddress, const std::string& page);

// The check text as the page fetch looks for it: in the lower-cased page; empty always passes.
bool HasCheckText(const std::string& page, const std::string& checkText);

ResultPageReading ReadResultPage(const EngineDefinition& engine, const EngineRequest& sent,
                                 const FetchedPage& fetched);

// "NAME: works (10 results, next page found)", "NAME: blocked (status 429; wait, or use a
// proxy)", ...
std::string VerdictLine(const std::string& engineName, const ResultPageReading& reading);

}  // namespace kv::detect
