// FetchScheduler: page fetches side by side on the one event loop. Up to a limit are in
// flight at once, at most kMaxFetchesPerHost to one host; the rest wait in order, urgent ones
// (an engine's result pages, which bring new work) before the others.
// Tests: tests/http/fetchscheduler_test.cpp.
#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "http/pagefetch.h"

namespace kv::http {

// Connections to one host at once: what a polite browser allows itself, so that a run never
// weighs on one site, and a slow site holds no more than its own slots.
inline constexpr int kMaxFetchesPerHost = 2;

class FetchScheduler {
  public:
    explicit FetchScheduler(HttpUnit& unit);
    ~FetchScheduler();
    FetchScheduler(const FetchScheduler&) = delete;
    FetchScheduler& operator=(const FetchScheduler&) = delete;

    // Fetches in flight at most (at least 1).
    void SetLimit(int inFlight);
    int Limit() const { return limit_; }

    using StartedHandler = std::function<void()>;
    // Queues a fetch. `started` runs when it goes out, `done` (never inside Submit) when it
    // has ended; the next waiting fetch starts after `done` returns.
    void Submit(PageRequest request, PageFetch::DoneHandler done, bool urgent = false,
                StartedHandler started = {});
    // Drops every waiting fetch and ends every one in flight now, all without callbacks.
    void AbortAll();

    int InFlight() const { return static_cast<int>(running_.size()); }
    std::size_t Waiting() const { return waiting_.size(); }
    bool Idle() const { return running_.empty() && waiting_.empty(); }

    // The host key of an address: lower-cased host and port ("" when it has none).
    static std::string HostKey(const std::string& address);

  private:
    struct Pending {
        PageRequest request;
        PageFetch::DoneHandler done;
        StartedHandler started;
        std::string host;
        bool urgent = false;
    };
    void StartWaiting();
    void Start(Pending pending);
    void Ended(PageFetch* fetch, const std::string& host);
    void Bury(std::unique_ptr<PageFetch> fetch);

    HttpUnit& unit_;
    int limit_ = 1;
    std::deque<Pending> waiting_;
    std::vector<std::unique_ptr<PageFetch>> running_;
    std::map<std::string, int> perHost_;
    // Ended fetches are freed on a fresh stack: their clients may still be reporting.
    std::vector<std::unique_ptr<PageFetch>> graveyard_;
    QObject context_;
};

}  // namespace kv::http
