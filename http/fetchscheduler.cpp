// FetchScheduler: the waiting line, the limits and the freeing of ended fetches.
#include "http/fetchscheduler.h"

#include <QTimer>
#include <algorithm>

#include "http/httpaddress.h"
#include "text/textcompare.h"

namespace kv::http {

FetchScheduler::FetchScheduler(HttpUnit& unit) : unit_(unit) {}

FetchScheduler::~FetchScheduler() {
    AbortAll();
}

void FetchScheduler::SetLimit(int inFlight) {
    limit_ = std::max(1, inFlight);
    StartWaiting();
}

std::string FetchScheduler::HostKey(const std::string& address) {
    const UrlParts parts = SplitAddress(address);
    if (parts.host.empty()) return {};
    return text::AsciiLowerCase(parts.host) + ":" + parts.PortOrDefault();
}

void FetchScheduler::Submit(PageRequest request, PageFetch::DoneHandler done, bool urgent,
                            StartedHandler started) {
    Pending pending{std::move(request), std::move(done), std::move(started), {}, urgent};
    pending.host = HostKey(pending.request.address);
    if (urgent) {
        // Behind the urgent ones already waiting, before every other.
        auto at = std::find_if(waiting_.begin(), waiting_.end(),
                               [](const Pending& p) { return !p.urgent; });
        waiting_.insert(at, std::move(pending));
    } else {
        waiting_.push_back(std::move(pending));
    }
    // Never inside Submit: the caller may be in the middle of its own bookkeeping.
    QTimer::singleShot(0, &context_, [this] { StartWaiting(); });
}

void FetchScheduler::StartWaiting() {
    for (auto it = waiting_.begin(); it != waiting_.end() && InFlight() < limit_;) {
        if (perHost_[it->host] >= kMaxFetchesPerHost) {
            ++it;
            continue;
        }
        Pending pending = std::move(*it);
        it = waiting_.erase(it);
        Start(std::move(pending));
        it = waiting_.begin();  // a started handler may have changed the line
    }
}

void FetchScheduler::Start(Pending pending) {
    ++perHost_[pending.host];
    const std::string host = pending.host;
    auto fetch = std::make_unique<PageFetch>(unit_, std::move(pending.request), nullptr);
    PageFetch* raw = fetch.get();
    fetch->SetDoneHandler([this, raw, host, done = std::move(pending.done)](PageResult result) {
        if (done) done(std::move(result));
        Ended(raw, host);
    });
    running_.push_back(std::move(fetch));
    if (pending.started) pending.started();
    if (!raw->Finished()) raw->Start();  // unless the started handler aborted everything
}

void FetchScheduler::Ended(PageFetch* fetch, const std::string& host) {
    auto it = std::find_if(running_.begin(), running_.end(),
                           [fetch](const auto& f) { return f.get() == fetch; });
    if (it == running_.end()) return;
    Bury(std::move(*it));
    running_.erase(it);
    if (--perHost_[host] <= 0) perHost_.erase(host);
    StartWaiting();
}

void FetchScheduler::AbortAll() {
    waiting_.clear();
    std::vector<std::unique_ptr<PageFetch>> running = std::move(running_);
    running_.clear();
    perHost_.clear();
    for (auto& fetch : running) {
        fetch->Abort(true);
        Bury(std::move(fetch));
    }
}

void FetchScheduler::Bury(std::unique_ptr<PageFetch> fetch) {
    graveyard_.push_back(std::move(fetch));
    QTimer::singleShot(0, &context_, [this] { graveyard_.clear(); });
}

}  // namespace kv::http
