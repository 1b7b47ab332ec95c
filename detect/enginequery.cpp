// One engine's query: result pages one after another until the scan depth is reached or the
// engine offers no next page. What is done to each page lives in resultpage.h; an engine that
// yields nothing logs its verdict instead of staying silent.
#include <thread>

#include "data/enginefields.h"
#include "detect/detectionrun.h"
#include "detect/detectstrings.h"
#include "detect/enginedefinition.h"
#include "detect/enginefetch.h"
#include "detect/resultpage.h"
#include "text/format.h"

namespace kv::detect {

namespace {

// An engine whose pages keep linking to a next page without giving results would otherwise
// be asked forever; no honest engine needs this many pages for a depth of 30.
constexpr int kMaxResultPagesPerQuery = 100;
// How often the window is served while a paced request waits.
constexpr auto kPacingTick = std::chrono::milliseconds(20);

}  // namespace

void DetectionRun::QueryEngine(const std::string& engineName, const std::string& keyword,
                               int depth) {
    auto& se = tables_.SE_ClientDataSet;
    if (!se.Locate(data::se_fields::SEName, engineName)) {
        LogUnlessStopped(text::FormatText(strings::kNoEngineDefinition, {engineName}));
        return;
    }
    const EngineDefinition engine = ReadEngineDefinition(se);
    RequestPacer pacer(engine.minSecondsBetweenRequests);
    int rank = 0;
    std::optional<ResultPageReading> unproductive;  // the last page's reading while rank is 0
    try {
        if (engine.startUrl.empty()) {
            unproductive = ResultPageReading{Verdict::Unreachable, strings::kNoQueryAddress};
        }
        EngineRequest request = FirstRequest(engine, keyword);
        for (int pass = 1; !unproductive || unproductive->verdict == Verdict::NoResults; ++pass) {
            window_.SetStatusText(
                text::FormatText(strings::kQueryingEngine, {engineName, keyword}));
            while (!stopFlag_ && pacer.Remaining(RequestPacer::Clock::now()).count() > 0) {
                window_.ProcessEvents();
                std::this_thread::sleep_for(kPacingTick);
            }
            pacer.RequestSent(RequestPacer::Clock::now());
            const ResultPageReading reading =
                ReadResultPage(engine, request, FetchEnginePage(http_, engine, request));
            for (std::size_t i = 0; i < reading.addresses.size() && rank < depth; ++i)
                runList_.push_back({engineName, reading.addresses[i], ++rank});
            unproductive.reset();
            if (reading.verdict != Verdict::Works && reading.verdict != Verdict::NoResults) {
                // After results, a failed page is logged as it always was: its failure line.
                const bool plainFailure = rank > 0 && reading.verdict == Verdict::Unreachable;
                LogUnlessStopped(plainFailure ? reading.reason : VerdictLine(engineName, reading));
                break;
            }
            if (rank == 0) unproductive = reading;
            if (rank >= depth || !reading.next) break;
            if (pass >= kMaxResultPagesPerQuery) {
                LogUnlessStopped(text::FormatText(strings::kTooManyResultPages,
                                                  {engineName, std::to_string(pass)}));
                unproductive.reset();
                break;
            }
            request = *reading.next;
        }
        if (unproductive) LogUnlessStopped(VerdictLine(engineName, *unproductive));
    } catch (const std::exception& e) {
        LogUnlessStopped(e.what());
    }
    window_.SetStatusText("");
}

}  // namespace kv::detect
