// One engine's query: result pages one after another until the scan depth is reached or the
// engine offers no next page.
#include "detect/enginequery.h"

#include <QTimer>

#include "detect/detectstrings.h"
#include "parseutils/templatefuncs.h"
#include "text/format.h"

namespace kv::detect {

namespace {

// An engine whose pages keep linking to a next page without giving results would otherwise
// be asked forever; no honest engine needs this many pages for a depth of 30.
constexpr int kMaxResultPagesPerQuery = 100;

}  // namespace

EngineQuery::EngineQuery(EngineDefinition engine, std::string keyword, int depth,
                         http::FetchScheduler& scheduler, Events events)
    : engine_(std::move(engine)),
      keyword_(std::move(keyword)),
      depth_(depth),
      scheduler_(scheduler),
      events_(std::move(events)) {}

void EngineQuery::Start() {
    referrer_ = engine_.prepareUrl;
    try {
        address_ = parseutils::PrepareUrlOrBody(keyword_, engine_.startUrl);
    } catch (const std::exception& e) {
        events_.failed(e.what());
        Finish();
        return;
    }
    Request();
}

void EngineQuery::Abort() {
    finished_ = true;  // a paced request not yet made never is
}

void EngineQuery::RequestWhenPaced() {
    const auto due = lastRequest_ + pacing_;
    const auto now = std::chrono::steady_clock::now();
    if (pacing_.count() <= 0 || now >= due) {
        Request();
        return;
    }
    QTimer::singleShot(std::chrono::ceil<std::chrono::milliseconds>(due - now), &context_, [this] {
        if (!finished_) Request();
    });
}

void EngineQuery::Request() {
    ++pass_;
    http::PageRequest request{address_, engine_.checkText, referrer_, {}, &cookies_};
    scheduler_.Submit(
        std::move(request), [this](http::PageResult result) { PageArrived(std::move(result)); },
        true,
        [this] {
            lastRequest_ = std::chrono::steady_clock::now();
            if (events_.requesting)
                events_.requesting(
                    text::FormatText(strings::kQueryingEngine, {engine_.name, keyword_}));
        });
}

void EngineQuery::PageArrived(http::PageResult result) {
    if (finished_) return;
    using Outcome = http::PageResult::Outcome;
    if (result.outcome == Outcome::Failed || result.outcome == Outcome::Canceled) {
        events_.failed(result.message);
        Finish();
        return;
    }
    // An answer that was not HTML reads as an empty page: no entries, no next page.
    address_ = result.address;
    referrer_ = address_;
    ResultPageReading reading;
    try {
        reading = ReadResultPage(engine_, result.page, address_, taken_, depth_);
    } catch (const std::exception& e) {
        events_.failed(e.what());
        Finish();
        return;
    }
    taken_ += static_cast<int>(reading.results.size());
    if (!reading.results.empty()) events_.results(std::move(reading.results));
    if (finished_) return;  // stopped by what the results set off
    if (reading.nextAddress.empty()) {
        Finish();
        return;
    }
    if (pass_ >= kMaxResultPagesPerQuery) {
        events_.failed(
            text::FormatText(strings::kTooManyResultPages, {engine_.name, std::to_string(pass_)}));
        Finish();
        return;
    }
    address_ = reading.nextAddress;
    RequestWhenPaced();
}

void EngineQuery::Finish() {
    if (finished_) return;
    finished_ = true;
    if (events_.finished) events_.finished();
}

}  // namespace kv::detect
