#include "detect/detectionrun.h"

#include "detect/detectstrings.h"
#include "detect/storepagekeywords.h"
#include "text/format.h"

namespace kv::detect {

namespace {

// Result pages are fetched without a referrer: no fixed address of ours is sent to the web.
const std::string kPageReferrer;

}  // namespace

DetectionRun::DetectionRun(data::DataTables& tables, KeywordAggregator& aggregator,
                           RunWindow& window, http::HttpUnit& http)
    : tables_(tables), aggregator_(aggregator), window_(window), http_(http) {}

void DetectionRun::LogUnlessStopped(const std::string& message) {
    if (!stopFlag_) window_.LogError(message);
}

void DetectionRun::FindActionExecute() {
    if (window_.TickedEngineNames().empty()) {
        window_.ShowNoEngineMessage();
        return;
    }
    running_ = true;
    std::exception_ptr failure;
    try {
        try {
            window_.StartClips();
        } catch (...) {
            window_.PutPictureBack();  // the run does not depend on the clips
        }
        window_.ClearErrorLog();
        window_.SetRunControlsEnabled(false);
        window_.BindCommandToStop(true);
        stopFlag_ = false;
        runList_.clear();
        window_.SetGaugeEnabled(true);
        window_.SetGaugeIndeterminate();
        QueryEngines();
        window_.SetGaugePosition(0);
        ScanResultPages();
    } catch (...) {
        failure = std::current_exception();
    }
    stopFlag_ = true;
    window_.SetGaugeEnabled(false);
    window_.SetRunControlsEnabled(true);
    while (!window_.PictureIsBack()) window_.ProcessEvents();
    window_.BindCommandToStop(false);
    running_ = false;
    if (failure) std::rethrow_exception(failure);
}

void DetectionRun::QueryEngines() {
    const int depth = window_.ScanDepth();
    const std::string keyword = window_.KeywordText();
    for (const std::string& engine : window_.TickedEngineNames()) {
        if (stopFlag_) continue;
        http_.Cookies().Clear();
        QueryEngine(engine, keyword, depth);
    }
}

void DetectionRun::RenewCache(const std::string& engineName) {
    auto& cache = tables_.SECacheClientDataSet;
    const int engineField = cache.FieldIndex("SENAME");
    cache.First();
    while (!cache.Eof()) {
        if (cache.AsString(engineField) == engineName) {
            cache.Delete();
            cache.First();
        } else {
            cache.Next();
        }
    }
    aggregator_.RefreshKeywordTables();
}

void DetectionRun::ScanResultPages() {
    const auto count = static_cast<int>(runList_.size());
    std::string previousEngine;
    std::string page;
    for (int i = 0; i < count; ++i) {
        if (stopFlag_) continue;
        const RunEntry& entry = runList_[static_cast<std::size_t>(i)];
        if (entry.engine != previousEngine) RenewCache(entry.engine);
        previousEngine = entry.engine;
        try {
            window_.SetStatusText(text::FormatText(strings::kQueryingPage, {entry.address}));
            http_.Cookies().Clear();
            page.clear();
            std::string address = entry.address;
            // An empty address keeps its rank, but there is nothing to fetch.
            if (!address.empty()) http_.FetchPage(address, "", kPageReferrer, page);
            if (StorePageKeywords(tables_.SECacheClientDataSet, entry.engine, entry.address,
                                  entry.rank, page, window_.ChosenKeywordSources()))
                aggregator_.RefreshKeywordTables();
        } catch (const std::exception& e) {
            LogUnlessStopped(e.what());
        }
        window_.SetGaugePosition((i + 1) * 100 / count);
    }
    window_.SetStatusText("");
}

}  // namespace kv::detect
