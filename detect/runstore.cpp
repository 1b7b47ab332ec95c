// Storing a run's pages strictly in run-list order: a page that arrives early waits for its
// turn, so the cache rows, ranks and theme are those of a one-at-a-time run.
#include "data/tablefields.h"
#include "detect/detectionrun.h"
#include "detect/storepagekeywords.h"

namespace kv::detect {

void DetectionRun::StorePages() {
    if (storing_) {
        storeAgain_ = true;  // reached again from inside a step below
        return;
    }
    storing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{storing_};
    do {
        storeAgain_ = false;
        while (storeLane_ < lanes_.size()) {
            Lane& lane = lanes_[storeLane_];
            if (storeIndex_ >= lane.entries.size()) {
                if (!lane.finished) break;
                ++storeLane_;
                storeIndex_ = 0;
                continue;
            }
            const RunEntry entry = lane.entries[storeIndex_];
            Outcome& outcome = outcomes_[entry.address];
            using State = Outcome::State;
            if (outcome.state == State::Waiting || outcome.state == State::InFlight) break;
            // After Stop only the entries cancelled in flight finish; nothing more is stored.
            if (stopFlag_ && outcome.state != State::Canceled) break;
            if (entry.engine != previousEngine_) RenewCache(entry.engine);
            previousEngine_ = entry.engine;
            StoreEntry(entry, outcome);
            ++storeIndex_;
            ++pagesDone_;
            if (gaugeShowsPages_)
                window_.SetGaugePosition(static_cast<int>(pagesDone_ * 100 / TotalEntries()));
        }
    } while (storeAgain_);
    ReportProgress();
    EndLoopWhenDone();
}

void DetectionRun::StoreEntry(const RunEntry& entry, Outcome& outcome) {
    switch (outcome.state) {
        case Outcome::State::Page:
            try {
                if (StorePageKeywords(tables_.SECacheClientDataSet, entry.engine, entry.address,
                                      entry.rank, outcome.page, window_.ChosenKeywordSources())) {
                    ++summary_.pagesStored;
                    aggregator_.RefreshKeywordTables();
                }
            } catch (const std::exception& e) {
                LogUnlessStopped(e.what());
            }
            return;
        case Outcome::State::Failed:
            if (outcome.counted) return;  // one line for the address, whoever listed it
            outcome.counted = true;
            ++summary_.pagesFailed;
            LogUnlessStopped(outcome.message);
            return;
        default:
            return;  // not HTML: an empty page; cancelled: nothing
    }
}

void DetectionRun::RenewCache(const std::string& engineName) {
    auto& cache = tables_.SECacheClientDataSet;
    const int engineField = cache.FieldIndex(data::secache_fields::SEName);
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

}  // namespace kv::detect
