// One engine request on the wire: the page with its final address, or the failure with the
// HTTP status that caused it (a block answers 202, 403 or 429), and the pacing between two
// requests to one engine.
// Tests: tests/detect/enginecheck_test.cpp.
#pragma once

#include <chrono>
#include <string>

#include "detect/enginedefinition.h"
#include "detect/resultpage.h"
#include "http/httpunit.h"

namespace kv::detect {

// Fetches without a check text: the verdict, not the fetch, decides what a missing one means.
// "Canceled by user. " comes back as a failure like any other.
FetchedPage FetchEnginePage(http::HttpUnit& http, const EngineDefinition& engine,
                            const EngineRequest& request);

// The least time between two requests to one engine. The clock is passed in.
class RequestPacer {
  public:
    using Clock = std::chrono::steady_clock;
    explicit RequestPacer(int minSeconds) : interval_(std::chrono::seconds(minSeconds)) {}
    // How long the next request must still wait; zero before the first.
    Clock::duration Remaining(Clock::time_point now) const;
    void RequestSent(Clock::time_point now) { last_ = now; }

  private:
    Clock::duration interval_;
    std::optional<Clock::time_point> last_;
};

}  // namespace kv::detect
