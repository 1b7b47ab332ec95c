// TTimedHttpCli: the client every page fetch creates. It runs one GET on the event loop with
// an inactivity time-out and a whole-page deadline, reporting its end through a callback (or
// synchronously, while the event loop keeps turning, so the window stays live); it resolves
// host names through the process-wide host cache, chooses direct or proxy per request,
// answers 401/407 with stored or prompted credentials and repeats the request, and carries
// cookies through its cookie manager.
// Tests: tests/http/timedhttpcli_test.cpp (scripted server), tests/http/fetch_*_test.cpp.
#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http/httpcli.h"

class QHostInfo;
class QTimer;

namespace kv::http {

class AuthStore;
class ChallengedHosts;
class TCookManager;
class TDomainsIPList;
class TProxyOverrideList;

enum class TWaitResult { Done = 0, TimedOut = 1, Canceled = 2 };

// End reasons besides socket and resolver error numbers.
inline constexpr int kEndReasonNone = 0;
inline constexpr int kEndReasonCanceled = 3;
inline constexpr int kEndReasonTimedOut = 10060;

// How often a wait looks at the clock and asks OnWait, when nothing else wakes it: short
// enough that the stop command acts at once, long enough that an idle wait costs nothing.
inline constexpr std::chrono::milliseconds kWaitTurn{10};

class TTimedHttpCli : public THttpCli {
  public:
    // Where the client reads the time for its deadlines. A wait notices a passed deadline at
    // its next turn (kWaitTurn), so a clock that jumps is seen within one turn.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Without a clock: the steady clock. Tests pass one they move themselves.
    explicit TTimedHttpCli(Clock clock = {});
    ~TTimedHttpCli() override;

    using DoneHandler = std::function<void(TWaitResult)>;
    // Starts the GET and returns; `done` runs once, on a fresh stack, when the exchange has
    // ended. The time-out limits silence; `pageTimeout` (0: none) limits the whole exchange
    // apart from time spent in a credential prompt, so a trickling server cannot hold a page.
    void StartGet(std::chrono::milliseconds timeout, std::chrono::milliseconds pageTimeout,
                  DoneHandler done);
    // Runs the GET to its end, turning the event loop meanwhile.
    TWaitResult GetWithTimeout(std::chrono::milliseconds timeout,
                               std::chrono::milliseconds pageTimeout = {});
    // True when the last exchange ended because its whole-page deadline passed.
    bool PageDeadlinePassed() const { return pageDeadlinePassed_; }
    bool Running() const { return static_cast<bool>(done_); }

    // Aborts with the end reason canceled; AbortWith records another one.
    void Abort() override;
    void AbortWith(int endReason);

    bool AutoAuthenticate() const { return autoAuthenticate_; }
    void SetAutoAuthenticate(bool on) { autoAuthenticate_ = on; }
    const std::string& ProxyOverride() const { return proxyOverride_; }
    void SetProxyOverride(const std::string& text);

    // Process-wide helpers, not owned; each may be absent.
    void SetHostCache(TDomainsIPList* cache) { hostCache_ = cache; }
    void SetAuthStore(AuthStore* store) { authStore_ = store; }
    void SetCookManager(TCookManager* manager) { cookManager_ = manager; }

    // Server credentials from the settings. They never go out unasked: the first 401 of a
    // host is answered with them (before any prompt), and from then on they are sent ahead to
    // that host, which `challenged` remembers for the run.
    void SetSettingsCredentials(std::string user, std::string password,
                                ChallengedHosts* challenged);

    int EndReason() const { return endReason_; }
    // The value of the first received header line of that field name ("" when none).
    std::string ReceivedField(std::string_view name) const;

    // Asked on every turn of a wait; setting canAbort cancels the request.
    std::function<void(TTimedHttpCli&, bool& canAbort)> OnWait;
    std::function<void(TTimedHttpCli&, const std::string& name, const std::string& value,
                       const std::string& expires, const std::string& domain,
                       const std::string& path, bool isSecure, const std::string& rawData,
                       bool& accept)>
        OnCookieParsed;
    std::function<void(TTimedHttpCli&, int statusCode, bool& continueAuth)> OnBeforeRequestAuth;
    std::function<void(TTimedHttpCli&, int statusCode, int authResult)> OnAfterRequestAuth;

  protected:
    void ConnectStep() override;
    void SessionClosed() override;
    void TriggerStateChange() override;
    void TriggerSessionConnected() override;
    void TriggerRequestHeaderBegin() override;
    void TriggerHeaderData(const std::string& line) override;
    void TriggerCookie(const std::string& value, bool& accept) override;
    void TriggerHeaderEnd() override;
    void TriggerDocData(std::string_view chunk) override;
    void TriggerDataSent(std::int64_t bytes) override;

  private:
    struct Resolved {
        std::string name;
        std::string address;
    };
    using ResolvedHandler = std::function<void(const Resolved&)>;
    enum class LookupDirection { Forward, Reverse };

    void CheckTurn();
    void MoveDeadline();
    void ClearDeadline();
    void PostCompletion();
    void Complete();

    // Finds the name and address of a host and goes on with `then`, at once when the host
    // cache knows it; a fatal failure ends the exchange instead.
    void ResolveHost(const std::string& host, bool fatal, ResolvedHandler then);
    void LookupDone(const QHostInfo& info);
    void LookupResult(const QHostInfo& info);
    void CancelLookup();
    void ConnectTo(const UrlParts& location, const UrlParts& proxy,
                   const std::optional<Resolved>& proxyHost, const Resolved& target);
    bool Bypassed(const UrlParts& location, const Resolved& target) const;

    // Authentication (timedhttpcli_auth.cpp).
    void ApplyStoredCredentials();
    bool AnswerChallenge();
    void RepeatRequest();
    std::string HostKey() const;

    Clock clock_;
    std::chrono::milliseconds timeout_{0};
    std::optional<std::chrono::steady_clock::time_point> deadline_;      // none: never
    std::optional<std::chrono::steady_clock::time_point> pageDeadline_;  // none: never
    bool pageDeadlinePassed_ = false;
    std::unique_ptr<QTimer> turn_;  // runs while an exchange does
    DoneHandler done_;
    bool completionPosted_ = false;
    bool completionDeferred_ = false;  // the exchange ended while a prompt was open
    int endReason_ = kEndReasonNone;

    bool autoAuthenticate_ = true;
    std::string proxyOverride_;
    std::unique_ptr<TProxyOverrideList> bypass_;
    TDomainsIPList* hostCache_ = nullptr;
    AuthStore* authStore_ = nullptr;
    TCookManager* cookManager_ = nullptr;

    std::unique_ptr<QObject> lookupContext_;  // alive while a name lookup runs
    int lookupId_ = -1;
    LookupDirection lookupDirection_ = LookupDirection::Forward;
    std::string lookupSubject_;
    bool lookupFatal_ = false;
    bool lookupFailed_ = false;
    Resolved lookupResolved_;
    ResolvedHandler lookupThen_;
    std::vector<std::string> lookupResults_;  // addresses (IPv4 first) or names

    std::vector<std::pair<std::string, std::string>> receivedFields_;
    bool answerPending_ = false;  // the close answers a 401/407 instead of ending
    bool promptOpen_ = false;

    std::string settingsUser_;
    std::string settingsPassword_;
    ChallengedHosts* challenged_ = nullptr;
    bool settingsPairSent_ = false;      // on the request in flight
    bool forceSettingsPair_ = false;     // the next request answers a first 401 with it
    bool settingsPairAnswered_ = false;  // once per exchange, so a refusal reaches the prompt
    // Cookie as the caller set it, for this exchange.
    std::optional<std::string> callerCookie_;
};

}  // namespace kv::http
