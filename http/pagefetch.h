// PageFetch: one page downloaded on the event loop, without waiting: a fresh client per
// attempt, only time-outs (silence, or the whole-page deadline) tried again, every failure
// turned into its log line, and the end reported to a callback. FetchPage is this, waited for.
// Tests: tests/http/pagefetch_test.cpp, tests/http/fetchpage_test.cpp.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "http/httpunit.h"

namespace kv::http {

class TTimedHttpCli;
enum class TWaitResult;

struct PageRequest {
    std::string address;
    std::string checkText;  // "" for none
    std::string referrer;
    FetchOptions options;  // carried to the exchange
    // The cookie list this request adds to and sends; null: a fresh one of its own.
    SharedCookieList* cookies = nullptr;
};

struct PageResult {
    enum class Outcome { Page, NotHtml, Failed, Canceled };
    Outcome outcome = Outcome::Failed;
    std::string address;  // the final address for a page, else the one asked for
    std::string page;
    std::string message;  // the failure log line ("Canceled by user. " for a cancel)
    int status = 0;       // a failure's HTTP status (100..599); 0 when it had none
};

class PageFetch {
  public:
    using DoneHandler = std::function<void(PageResult)>;
    PageFetch(HttpUnit& unit, PageRequest request, DoneHandler done);
    ~PageFetch();
    PageFetch(const PageFetch&) = delete;
    PageFetch& operator=(const PageFetch&) = delete;

    // Starts the first attempt; `done` runs once, later, on a fresh stack.
    void Start();
    // Ends the fetch now: the connection closes and `done` gets Canceled, unless `silently`,
    // in which case it is never called.
    void Abort(bool silently = false);
    bool Finished() const { return finished_; }
    // Replaces the handler given at construction (before Start).
    void SetDoneHandler(DoneHandler done) { done_ = std::move(done); }
    const PageRequest& Request() const { return request_; }

  private:
    struct Attempt;
    void StartAttempt();
    void AttemptEnded(TWaitResult result);
    void Finish(PageResult result);
    void Fail(std::string_view message, int status = 0);

    HttpUnit& unit_;
    PageRequest request_;
    DoneHandler done_;
    ConnectionSettings settings_;  // as at the start: a change applies from the next fetch
    SharedCookieList ownCookies_;
    int retriesLeft_ = 0;
    std::unique_ptr<Attempt> attempt_;
    QObject context_;  // posted calls end with the fetch
    bool finished_ = false;
};

}  // namespace kv::http
