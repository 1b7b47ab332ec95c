// One engine's query: result pages one after another until the scan depth is reached or the
// engine offers no next page.
#include "detect/enginequery.h"

#include <QTimer>

#include "detect/detectstrings.h"
#include "detect/enginefetch.h"
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
      events_(std::move(events)),
      pacing_(std::chrono::seconds(std::max(0, engine_.minSecondsBetweenRequests))) {}

void EngineQuery::Start() {
    if (engine_.startUrl.empty()) {
        ResultPageReading reading;
        reading.verdict = Verdict::Unreachable;
        reading.reason = strings::kNoQueryAddress;
        events_.failed(VerdictLine(engine_.name, reading));
        Finish();
        return;
    }
    try {
        request_ = FirstRequest(engine_, keyword_);
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
    http::FetchOptions options;
    if (request_.post) options.postBody = request_.body;
    options.headerLines = engine_.headerLines;
    // No check text: the page's verdict, not the fetch, says what a missing one means.
    http::PageRequest request{request_.address, "", request_.referrer, std::move(options),
                              &cookies_};
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
    if (result.outcome == Outcome::Canceled) {
        events_.failed(result.message);
        Finish();
        return;
    }
    // An answer that was not HTML reads as an empty page.
    FetchedPage fetched;
    fetched.address = result.address.empty() ? request_.address : result.address;
    if (result.outcome == Outcome::Failed) {
        fetched.failure = result.message;
        fetched.status = result.status;
    } else {
        fetched.body = std::move(result.page);
    }
    ResultPageReading reading;
    try {
        reading = ReadResultPage(engine_, request_, fetched);
    } catch (const std::exception& e) {
        events_.failed(e.what());
        Finish();
        return;
    }
    std::vector<std::string> results;
    for (std::size_t i = 0; i < reading.addresses.size() && taken_ < depth_; ++i, ++taken_)
        results.push_back(std::move(reading.addresses[i]));
    if (!results.empty()) events_.results(std::move(results));
    if (finished_) return;  // stopped by what the results set off
    unproductive_.reset();
    if (reading.verdict != Verdict::Works && reading.verdict != Verdict::NoResults) {
        // After results, a failed page is logged as it always was: its failure line.
        const bool plainFailure = taken_ > 0 && reading.verdict == Verdict::Unreachable;
        events_.failed(plainFailure ? reading.reason : VerdictLine(engine_.name, reading));
        Finish();
        return;
    }
    if (taken_ == 0) unproductive_ = reading;
    if (taken_ >= depth_ || !reading.next) {
        if (unproductive_) events_.failed(VerdictLine(engine_.name, *unproductive_));
        Finish();
        return;
    }
    if (pass_ >= kMaxResultPagesPerQuery) {
        events_.failed(
            text::FormatText(strings::kTooManyResultPages, {engine_.name, std::to_string(pass_)}));
        Finish();
        return;
    }
    request_ = *reading.next;
    RequestWhenPaced();
}

void EngineQuery::Finish() {
    if (finished_) return;
    finished_ = true;
    if (events_.finished) events_.finished();
}

}  // namespace kv::detect
