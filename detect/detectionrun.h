// A detection run: the "Detect my theme" command, its Stop, the query phase that asks every
// ticked engine for the keyword's result addresses, and the page phase that fetches each
// result page, stores its META keywords and keeps the theme current page by page.
// Tests: tests/detect/detectionrun_test.cpp (against the demo search engine).
#pragma once

#include <string>
#include <vector>

#include "data/tables.h"
#include "detect/keywordaggregation.h"
#include "detect/runwindow.h"
#include "http/httpunit.h"

namespace kv::detect {

struct RunEntry {
    std::string engine;
    std::string address;  // as the engine gave it
    int rank = 0;         // from 1 within each engine
};

class DetectionRun {
  public:
    DetectionRun(data::DataTables& tables, KeywordAggregator& aggregator, RunWindow& window,
                 http::HttpUnit& http);

    // The command button's Find: the whole run, from the ticked engines to the end steps.
    // An exception of a phase ends the run and is raised again after the end steps.
    void FindActionExecute();
    // The command button's Stop: sets the stop flag; the request in flight is cancelled.
    void StopActionExecute() { stopFlag_ = true; }
    // The HTTP client's wait handler: cancel while the stop flag is set.
    void HttpCliWait(bool& canAbort) const { canAbort = stopFlag_; }

    bool StopFlag() const { return stopFlag_; }
    bool Running() const { return running_; }
    const std::vector<RunEntry>& RunList() const { return runList_; }

    // The two phases and one engine's query; public for the window's and the tests' use.
    void QueryEngines();
    void ScanResultPages();
    void QueryEngine(const std::string& engineName, const std::string& keyword, int depth);

  private:
    void RenewCache(const std::string& engineName);
    void LogUnlessStopped(const std::string& message);

    data::DataTables& tables_;
    KeywordAggregator& aggregator_;
    RunWindow& window_;
    http::HttpUnit& http_;
    bool stopFlag_ = false;
    bool running_ = false;
    std::vector<RunEntry> runList_;
};

// "%s" placeholders filled in order.
std::string FormatText(const char* format, std::initializer_list<std::string> values);

}  // namespace kv::detect
