// The run's course: the end steps around it, the engines side by side, one fetch per distinct
// address. Storing in run-list order: runstore.cpp.
#include "detect/detectionrun.h"

#include "data/enginefields.h"
#include "detect/detectstrings.h"
#include "detect/enginepatterns.h"
#include "text/format.h"

namespace kv::detect {

namespace {

// Result pages are fetched without a referrer: no fixed address of ours is sent to the web.
const std::string kPageReferrer;

}  // namespace

DetectionRun::DetectionRun(data::DataTables& tables, KeywordAggregator& aggregator,
                           RunWindow& window, http::HttpUnit& http)
    : tables_(tables), aggregator_(aggregator), window_(window), http_(http), scheduler_(http) {}

DetectionRun::~DetectionRun() {
    scheduler_.AbortAll();
}

void DetectionRun::LogUnlessStopped(const std::string& message) {
    if (!stopFlag_) window_.LogError(message);
}

RunSummary DetectionRun::Execute(const RunRequest& request) {
    if (request.engines.empty()) {
        window_.ShowNoEngineMessage();
        return {};
    }
    running_ = true;
    failure_ = nullptr;
    try {
        try {
            window_.StartClips();
        } catch (...) {
            window_.PutPictureBack();  // the run does not depend on the clips
        }
        window_.ClearErrorLog();
        window_.SetRunControlsEnabled(false);
        window_.BindCommandToStop(true);
        Begin(request);
        StartQueries(request);
        QEventLoop loop;
        loop_ = &loop;
        const bool done = stopFlag_ || failure_ || (QueriesFinished() && AllStored());
        if (!done) loop.exec();  // returns early only when the application quits
        loop_ = nullptr;
    } catch (...) {
        loop_ = nullptr;
        if (!failure_) failure_ = std::current_exception();
    }
    Finish(request);
    stopFlag_ = true;
    window_.SetGaugeEnabled(false);
    window_.SetRunControlsEnabled(true);
    window_.SetStatusText(SummaryLine(summary_));
    while (!window_.PictureIsBack()) window_.ProcessEvents();
    window_.BindCommandToStop(false);
    running_ = false;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return summary_;
}

void DetectionRun::Begin(const RunRequest&) {
    stopFlag_ = false;
    runList_.clear();
    summary_ = {};
    lanes_.clear();
    outcomes_.clear();
    storeLane_ = storeIndex_ = 0;
    previousEngine_.clear();
    gaugeShowsPages_ = false;
    pagesDone_ = 0;
    queryingEngine_.clear();
    started_ = std::chrono::steady_clock::now();
    scheduler_.SetLimit(http_.Settings().ParallelFetches);
    window_.SetGaugeEnabled(true);
    window_.SetGaugeIndeterminate();
}

void DetectionRun::StartQueries(const RunRequest& request) {
    for (const std::string& engine : request.engines) lanes_.push_back(Lane{engine, {}, {}, false});
    for (std::size_t i = 0; i < lanes_.size(); ++i) {
        if (stopFlag_ || failure_) return;
        Lane& lane = lanes_[i];
        auto& se = tables_.SE_ClientDataSet;
        if (!se.Locate(data::se_fields::SEName, lane.engine)) {
            LogUnlessStopped(text::FormatText(strings::kNoEngineDefinition, {lane.engine}));
            LaneFinished(i);
            continue;
        }
        try {
            // A broken or oversized pattern is named with its engine and field before any request.
            CheckEnginePatterns(se, lane.engine);
        } catch (const std::exception& e) {
            LogUnlessStopped(e.what());
            LaneFinished(i);
            continue;
        }
        EngineQuery::Events events;
        events.requesting = [this, i](const std::string& status) {
            queryingEngine_ = lanes_[i].engine;
            window_.SetStatusText(status);
            ReportProgress();
        };
        events.results = [this, i](std::vector<std::string> addresses) {
            Guarded([&] { AddEntries(i, std::move(addresses)); });
        };
        events.failed = [this](const std::string& message) { LogUnlessStopped(message); };
        events.finished = [this, i] { Guarded([&] { LaneFinished(i); }); };
        lane.query = std::make_unique<EngineQuery>(ReadEngineDefinition(se), request.keyword,
                                                   request.depth, scheduler_, std::move(events));
        lane.query->Start();
    }
}

void DetectionRun::AddEntries(std::size_t laneIndex, std::vector<std::string> addresses) {
    Lane& lane = lanes_[laneIndex];
    for (std::string& address : addresses) {
        const int rank = static_cast<int>(lane.entries.size()) + 1;
        if (outcomes_.try_emplace(address).second) {
            // An empty address keeps its rank, but there is nothing to fetch.
            if (address.empty())
                outcomes_[address].state = Outcome::State::Page;
            else
                FetchPage(address);
        }
        lane.entries.push_back({lane.engine, std::move(address), rank});
    }
    ReportProgress();
    StorePages();
}

void DetectionRun::LaneFinished(std::size_t laneIndex) {
    lanes_[laneIndex].finished = true;
    if (queryingEngine_ == lanes_[laneIndex].engine) {
        queryingEngine_.clear();
        for (const Lane& lane : lanes_)
            if (!lane.finished && lane.query) queryingEngine_ = lane.engine;
    }
    if (QueriesFinished() && !gaugeShowsPages_ && !stopFlag_) {
        gaugeShowsPages_ = true;
        const std::size_t total = TotalEntries();
        window_.SetGaugePosition(total == 0 ? 0 : static_cast<int>(pagesDone_ * 100 / total));
    }
    StorePages();
    ReportProgress();
}

void DetectionRun::FetchPage(const std::string& address) {
    http::PageRequest request{address, "", kPageReferrer, {}, nullptr};
    scheduler_.Submit(
        std::move(request),
        [this, address](http::PageResult result) {
            Guarded([&] { PageFetched(address, std::move(result)); });
        },
        false,
        [this, address] {
            outcomes_[address].state = Outcome::State::InFlight;
            window_.SetStatusText(text::FormatText(strings::kQueryingPage, {address}));
        });
}

void DetectionRun::PageFetched(const std::string& address, http::PageResult result) {
    using Fetched = http::PageResult::Outcome;
    using State = Outcome::State;
    static const std::map<Fetched, State> kStateOf{{Fetched::Page, State::Page},
                                                   {Fetched::NotHtml, State::NotHtml},
                                                   {Fetched::Failed, State::Failed},
                                                   {Fetched::Canceled, State::Canceled}};
    Outcome& outcome = outcomes_[address];
    outcome.state = kStateOf.at(result.outcome);
    outcome.page = std::move(result.page);
    outcome.message = std::move(result.message);
    StorePages();
}

void DetectionRun::StopActionExecute() {
    stopFlag_ = true;
    if (!running_) return;
    AbortWork();
    // The pages in flight end as cancelled: their entries finish without a row or a line,
    // as the page in flight of a one-at-a-time run does.
    for (auto& [address, outcome] : outcomes_)
        if (outcome.state == Outcome::State::InFlight) outcome.state = Outcome::State::Canceled;
    Guarded([this] { StorePages(); });
    if (loop_) loop_->exit();
}

void DetectionRun::Guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        // Outside the guarded blocks of a page: the run ends, and the failure is raised
        // again after the end steps.
        if (!failure_) failure_ = std::current_exception();
        AbortWork();
        if (loop_) loop_->exit();
    }
}

bool DetectionRun::QueriesFinished() const {
    for (const Lane& lane : lanes_)
        if (!lane.finished) return false;
    return true;
}

bool DetectionRun::AllStored() const {
    return storeLane_ >= lanes_.size();
}

void DetectionRun::EndLoopWhenDone() {
    if (loop_ && (stopFlag_ || failure_ || (QueriesFinished() && AllStored()))) loop_->exit();
}

void DetectionRun::ReportProgress() {
    RunProgress progress;
    progress.pagesDone = pagesDone_;
    progress.pagesTotal = static_cast<int>(TotalEntries());
    progress.pagesFailed = summary_.pagesFailed;
    progress.engine = queryingEngine_;
    progress.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_);
    window_.ShowProgress(progress);
}

void DetectionRun::AbortWork() {
    scheduler_.AbortAll();
    for (Lane& lane : lanes_)
        if (lane.query) lane.query->Abort();
}

std::size_t DetectionRun::TotalEntries() const {
    std::size_t total = 0;
    for (const Lane& lane : lanes_) total += lane.entries.size();
    return total;
}

void DetectionRun::Finish(const RunRequest&) {
    AbortWork();
    for (Lane& lane : lanes_) {
        if (lane.entries.empty()) summary_.enginesWithoutResults.push_back(lane.engine);
        runList_.insert(runList_.end(), lane.entries.begin(), lane.entries.end());
    }
    summary_.stopped = stopFlag_;
    summary_.themeSize = tables_.KeywordResClientDataSet.RecordCount();
    lanes_.clear();
    outcomes_.clear();
}

}  // namespace kv::detect
