// One engine's query on the event loop: its result pages one after another (each request only
// when more results are needed, and no sooner than the engine's pacing allows), while other
// engines are queried side by side. What is done to each page lives in resultpage.h; an engine
// that yields nothing reports its verdict instead of staying silent. Cookies live through the
// pages of this one query.
// Tests: tests/detect/detectionrun_test.cpp, tests/detect/enginecheck_test.cpp.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "detect/enginedefinition.h"
#include "detect/resultpage.h"
#include "http/fetchscheduler.h"

namespace kv::detect {

class EngineQuery {
  public:
    struct Events {
        std::function<void(const std::string& status)> requesting;        // a request goes out
        std::function<void(std::vector<std::string> addresses)> results;  // in rank order
        std::function<void(const std::string& message)> failed;           // a log line
        std::function<void()> finished;                                   // after the last event
    };

    // The engine's own pacing (MinSecondsBetweenRequests) applies from the start.
    EngineQuery(EngineDefinition engine, std::string keyword, int depth,
                http::FetchScheduler& scheduler, Events events);
    EngineQuery(const EngineQuery&) = delete;
    EngineQuery& operator=(const EngineQuery&) = delete;

    void Start();
    // Ends the query without further events (its request in flight is the scheduler's).
    void Abort();
    bool Finished() const { return finished_; }
    const std::string& Engine() const { return engine_.name; }

  private:
    void Request();
    void RequestWhenPaced();
    void PageArrived(http::PageResult result);
    void Finish();

    EngineDefinition engine_;
    std::string keyword_;
    int depth_;
    http::FetchScheduler& scheduler_;
    Events events_;
    const std::chrono::milliseconds pacing_;  // the definition's least time between requests
    std::chrono::steady_clock::time_point lastRequest_;
    EngineRequest request_;
    // The last page's reading while no result was taken: its verdict ends a fruitless query.
    std::optional<ResultPageReading> unproductive_;
    int taken_ = 0;
    int pass_ = 0;
    bool finished_ = false;
    http::SharedCookieList cookies_;
    QObject context_;  // the pacing timer ends with the query
};

}  // namespace kv::detect
