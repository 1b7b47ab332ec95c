// TTimedHttpCli: the wait loop and its deadline, abort, name resolution through the host
// cache and the connect step. Credentials and cookies: timedhttpcli_auth.cpp.
#include "http/timedhttpcli.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QTimer>
#include <algorithm>

#include "http/cookmanager.h"
#include "http/domainsiplist.h"
#include "http/httpstrings.h"
#include "http/proxyoverridelist.h"
#include "http/socketerror.h"

namespace kv::http {

struct TTimedHttpCli::Wait {
    explicit Wait(std::initializer_list<THttpState> waitFor) : states(waitFor) {}

    std::vector<THttpState> states;
    QEventLoop loop;
    bool ended = false;
    TWaitResult result = TWaitResult::Done;

    bool Reached(THttpState state) const {
        return std::find(states.begin(), states.end(), state) != states.end();
    }
    void End(TWaitResult how) {
        if (ended) return;
        ended = true;
        result = how;
        loop.exit();
    }
};

namespace {

bool ApplicationClosing() {
    return QCoreApplication::instance() == nullptr || QCoreApplication::closingDown();
}

// The wait result of a wait whose states were reached, after the end reason.
TWaitResult ResultOfEndReason(int endReason) {
    if (endReason == kEndReasonCanceled) return TWaitResult::Canceled;
    if (endReason == kEndReasonTimedOut) return TWaitResult::TimedOut;
    return TWaitResult::Done;
}

}  // namespace

TTimedHttpCli::TTimedHttpCli() = default;

TTimedHttpCli::~TTimedHttpCli() {
    CancelLookup();
}

TWaitResult TTimedHttpCli::GetWithTimeout(std::chrono::milliseconds timeout) {
    timeout_ = timeout;
    endReason_ = kEndReasonNone;
    answerPending_ = false;
    settingsPairSent_ = false;
    forceSettingsPair_ = false;
    settingsPairAnswered_ = false;
    callerCookie_.reset();
    MoveDeadline();
    GetASync();
    return WaitFor({THttpState::Ready});
}

void TTimedHttpCli::MoveDeadline() {
    deadline_ = std::chrono::steady_clock::now() + timeout_;
}

void TTimedHttpCli::ClearDeadline() {
    deadline_.reset();
}

TWaitResult TTimedHttpCli::WaitFor(std::initializer_list<THttpState> states) {
    MoveDeadline();
    if (std::find(states.begin(), states.end(), State()) != states.end())
        return ResultOfEndReason(endReason_);
    if (ApplicationClosing()) {
        AbortWith(kEndReasonTimedOut);
        return TWaitResult::TimedOut;
    }
    Wait wait(states);
    waits_.push_back(&wait);
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [this] { CheckWait(); });
    turn.start(kWaitTurn);
    wait.loop.exec();
    waits_.pop_back();
    if (!wait.ended) {
        // The loop ended without us: the application is quitting.
        AbortWith(kEndReasonTimedOut);
        return TWaitResult::TimedOut;
    }
    return wait.result;
}

// One turn of the innermost wait: its states, the application, the deadline, OnWait.
void TTimedHttpCli::CheckWait() {
    if (waits_.empty() || promptOpen_) return;
    Wait& wait = *waits_.back();
    if (wait.ended) return;
    if (wait.Reached(State())) {
        wait.End(ResultOfEndReason(endReason_));
        return;
    }
    if (ApplicationClosing() || (deadline_ && std::chrono::steady_clock::now() >= *deadline_)) {
        AbortWith(kEndReasonTimedOut);
        wait.End(TWaitResult::TimedOut);
        return;
    }
    if (!OnWait) return;
    bool canAbort = false;
    OnWait(*this, canAbort);
    if (canAbort && !wait.ended) {
        AbortWith(kEndReasonCanceled);
        wait.End(TWaitResult::Canceled);
    }
}

void TTimedHttpCli::TriggerStateChange() {
    THttpCli::TriggerStateChange();
    if (waits_.empty()) return;
    Wait& wait = *waits_.back();
    if (wait.Reached(State())) wait.End(ResultOfEndReason(endReason_));
}

void TTimedHttpCli::Abort() {
    AbortWith(kEndReasonCanceled);
}

void TTimedHttpCli::AbortWith(int endReason) {
    if (State() == THttpState::Ready) {
        THttpCli::Abort();  // only closes a socket that is still open
        return;
    }
    CancelLookup();
    endReason_ = endReason;
    THttpCli::Abort();
}

void TTimedHttpCli::SetProxyOverride(const std::string& text) {
    if (text == proxyOverride_ && bypass_) return;
    proxyOverride_ = text;
    if (!bypass_) bypass_ = std::make_unique<TProxyOverrideList>();
    bypass_->Load(text);
}

void TTimedHttpCli::CancelLookup() {
    if (lookupId_ >= 0) QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    if (!lookupContext_) return;
    // Inside the lookup's own callback (a handler aborted), its context must outlive the call.
    if (inLookupCallback_) {
        lookupContext_.release()->deleteLater();
    } else {
        lookupContext_.reset();
    }
}

std::optional<TTimedHttpCli::Resolved> TTimedHttpCli::ResolveHost(const std::string& host,
                                                                  bool fatal) {
    const bool isName = !IsDottedAddress(host);
    Resolved resolved;
    (isName ? resolved.name : resolved.address) = host;
    if (hostCache_ != nullptr) {
        if (isName) {
            if (auto address = hostCache_->AddressOf(host)) {
                resolved.address = *address;
                return resolved;
            }
        } else if (auto name = hostCache_->NameOf(host)) {
            resolved.name = *name;
            return resolved;
        }
    }

    lookupDirection_ = isName ? LookupDirection::Forward : LookupDirection::Reverse;
    lookupSubject_ = host;
    lookupFatal_ = fatal;
    lookupFailed_ = false;
    lookupResults_.clear();
    SetState(THttpState::DnsLookup);
    lookupContext_ = std::make_unique<QObject>();
    lookupId_ = QHostInfo::lookupHost(QString::fromStdString(host), lookupContext_.get(),
                                      [this](const QHostInfo& info) { LookupDone(info); });
    const TWaitResult waited = WaitFor({THttpState::Ready, THttpState::DnsLookupDone});
    CancelLookup();
    if (waited != TWaitResult::Done || State() == THttpState::Ready) return std::nullopt;
    if (lookupFailed_) return resolved;  // a failed reverse lookup: the address still serves
    if (hostCache_ != nullptr) {
        auto other = isName ? hostCache_->AddressOf(host) : hostCache_->NameOf(host);
        if (other) (isName ? resolved.address : resolved.name) = *other;
    } else if (!lookupResults_.empty()) {
        (isName ? resolved.address : resolved.name) = lookupResults_.front();
    }
    return resolved;
}

void TTimedHttpCli::LookupDone(const QHostInfo& info) {
    if (State() != THttpState::DnsLookup || info.lookupId() != lookupId_) return;
    lookupId_ = -1;
    inLookupCallback_ = true;
    LookupResult(info);
    inLookupCallback_ = false;
}

void TTimedHttpCli::LookupResult(const QHostInfo& info) {
    int error = WinSockErrorOf(info.error());
    if (lookupDirection_ == LookupDirection::Forward) {
        // IPv4 first: the cache holds dotted addresses, and servers listen there first.
        for (const QHostAddress& address : info.addresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol)
                lookupResults_.push_back(address.toString().toStdString());
        }
        for (const QHostAddress& address : info.addresses()) {
            if (address.protocol() != QAbstractSocket::IPv4Protocol)
                lookupResults_.push_back(address.toString().toStdString());
        }
        if (error == 0 && lookupResults_.empty()) error = kWsaHostNotFound;
    } else {
        // The resolver answers an address it cannot name with the address itself.
        const std::string name = info.hostName().toStdString();
        if (error == 0 && (name.empty() || name == lookupSubject_)) error = kWsaHostNotFound;
        if (error == 0) lookupResults_.push_back(name);
    }
    if (error == kWsaNoData) error = 0;

    if (error == 0) {
        if (hostCache_ != nullptr) {
            if (lookupDirection_ == LookupDirection::Forward) {
                hostCache_->AddForward(lookupResults_, lookupSubject_);
            } else {
                hostCache_->AddReverse(lookupResults_, lookupSubject_);
            }
        }
        SetState(THttpState::DnsLookupDone);
        return;
    }
    lookupFailed_ = true;
    endReason_ = error;
    const std::string_view reason =
        lookupDirection_ == LookupDirection::Forward ? kCantResolveHostname : kCantResolveAddress;
    SetStatus(kLocalFailureStatus, FormatText(reason, lookupSubject_));
    if (lookupFatal_) {
        FinishExchange();
    } else {
        SetState(THttpState::DnsLookupDone);
    }
}

bool TTimedHttpCli::Bypassed(const UrlParts& location, const Resolved& target) const {
    if (!bypass_) return false;
    return bypass_->Matches(target.name, location.scheme, location.port) ||
           bypass_->Matches(target.address, location.scheme, location.port);
}

void TTimedHttpCli::ConnectStep() {
    const UrlParts location = SplitAddress(Location());
    const bool useProxy = !Proxy().empty();
    UrlParts proxy;
    std::optional<Resolved> proxyHost;
    if (useProxy) {
        proxy = SplitAddress(Proxy());
        proxyHost = ResolveHost(proxy.host, !IsDottedAddress(proxy.host));
        if (State() == THttpState::Ready) return;
        if (!proxyHost || proxyHost->address.empty()) {
            FinishExchange();
            return;
        }
    }
    // With a proxy the target is still resolved, so that the bypass test sees both forms.
    const std::optional<Resolved> target =
        ResolveHost(location.host, !useProxy && !IsDottedAddress(location.host));
    if (State() == THttpState::Ready) return;

    const bool direct = !useProxy || (target && Bypassed(location, *target));
    Route route = direct ? DirectRoute(location) : ProxyRoute(location, proxy);
    route.connectHost = direct ? (target ? target->address : std::string()) : proxyHost->address;
    if (location.hasUser) {
        SetUsername(location.user);
        SetPassword(location.password);
    }
    if (route.connectHost.empty()) {
        FinishExchange();
        return;
    }
    endReason_ = kEndReasonNone;
    SetStatus(0, "");
    SetState(THttpState::NotConnected);
    StartRoute(route);
}

}  // namespace kv::http
