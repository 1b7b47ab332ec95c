// A detection run: the "Detect my theme" command and its Stop. Every ticked engine is asked
// side by side (each engine's own result pages in order), every distinct result address is
// fetched once, side by side with the others, and the pages are stored, and the theme
// refreshed, strictly in run-list order, so the tables end as a one-at-a-time run leaves them.
// Tests: tests/detect/detectionrun_test.cpp, tests/detect/session_test.cpp.
#pragma once

#include <QEventLoop>
#include <chrono>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/tables.h"
#include "detect/enginequery.h"
#include "detect/keywordaggregation.h"
#include "detect/runrequest.h"
#include "detect/runwindow.h"
#include "http/fetchscheduler.h"
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
    ~DetectionRun();

    // The whole run, from the engines to the end steps; the event loop turns meanwhile. With
    // no engine it shows the message and does nothing. An exception that ends the run early
    // is raised again after the end steps.
    RunSummary Execute(const RunRequest& request);
    // Sets the stop flag and ends everything in flight at once: nothing is stored or logged
    // after it.
    void StopActionExecute();
    // The HTTP client's wait handler: cancel while the stop flag is set.
    void HttpCliWait(bool& canAbort) const { canAbort = stopFlag_; }

    bool StopFlag() const { return stopFlag_; }
    bool Running() const { return running_; }
    // The last run's entries, engine after engine in rank order.
    const std::vector<RunEntry>& RunList() const { return runList_; }
    const RunSummary& LastSummary() const { return summary_; }

  private:
    // One distinct address of the run: fetched once, its outcome serves every entry.
    struct Outcome {
        enum class State { Waiting, InFlight, Page, NotHtml, Failed, Canceled };
        State state = State::Waiting;
        std::string page;
        std::string message;
        bool counted = false;  // a failure is logged and counted once
    };
    // One ticked engine: its query and the entries it has given so far.
    struct Lane {
        std::string engine;
        std::unique_ptr<EngineQuery> query;
        std::vector<RunEntry> entries;
        bool finished = false;
    };

    void Begin(const RunRequest& request);
    void StartQueries(const RunRequest& request);
    void AddEntries(std::size_t lane, std::vector<std::string> addresses);
    void LaneFinished(std::size_t lane);
    void FetchPage(const std::string& address);
    void PageFetched(const std::string& address, http::PageResult result);
    void StorePages();
    void StoreEntry(const RunEntry& entry, Outcome& outcome);
    void RenewCache(const std::string& engineName);
    void AbortWork();
    std::size_t TotalEntries() const;
    bool QueriesFinished() const;
    bool AllStored() const;
    void EndLoopWhenDone();
    void Guarded(const std::function<void()>& step);
    void ReportProgress();
    void LogUnlessStopped(const std::string& message);
    void Finish(const RunRequest& request);

    data::DataTables& tables_;
    KeywordAggregator& aggregator_;
    RunWindow& window_;
    http::HttpUnit& http_;
    http::FetchScheduler scheduler_;
    bool stopFlag_ = false;
    bool running_ = false;
    std::vector<RunEntry> runList_;
    RunSummary summary_;

    // The run in progress.
    std::vector<Lane> lanes_;
    std::map<std::string, Outcome> outcomes_;
    std::size_t storeLane_ = 0;  // the next entry to store: lane and index in it
    std::size_t storeIndex_ = 0;
    std::string previousEngine_;
    bool storing_ = false;
    bool storeAgain_ = false;
    bool gaugeShowsPages_ = false;
    int pagesDone_ = 0;
    std::string queryingEngine_;
    std::chrono::steady_clock::time_point started_;
    std::exception_ptr failure_;
    QEventLoop* loop_ = nullptr;
};

}  // namespace kv::detect
