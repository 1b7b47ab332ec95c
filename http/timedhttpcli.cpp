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
#include "http/httperror.h"
#include "http/httpstrings.h"
#include "http/proxyoverridelist.h"
#include "http/socketerror.h"

namespace kv::http {

namespace {

bool ApplicationClosing() {
    return QCoreApplication::instance() == nullptr || QCoreApplication::closingDown();
}

// The wait result of an exchange that has ended, after its end reason.
TWaitResult ResultOfEndReason(int endReason) {
    if (endReason == kEndReasonCanceled) return TWaitResult::Canceled;
    if (endReason == kEndReasonTimedOut) return TWaitResult::TimedOut;
    return TWaitResult::Done;
}

}  // namespace

TTimedHttpCli::TTimedHttpCli(Clock clock)
    : clock_(clock ? std::move(clock) : [] { return std::chrono::steady_clock::now(); }),
      turn_(std::make_unique<QTimer>()) {
    QObject::connect(turn_.get(), &QTimer::timeout, [this] { CheckTurn(); });
}

TTimedHttpCli::~TTimedHttpCli() {
    CancelLookup();
}

void TTimedHttpCli::StartGet(std::chrono::milliseconds timeout,
                             std::chrono::milliseconds pageTimeout, DoneHandler done) {
    if (State() != THttpState::Ready || done_) throw HttpError(kHttpComponentBusy);
    timeout_ = timeout;
    endReason_ = kEndReasonNone;
    answerPending_ = false;
    settingsPairSent_ = false;
    forceSettingsPair_ = false;
    settingsPairAnswered_ = false;
    callerCookie_.reset();
    pageDeadlinePassed_ = false;
    completionPosted_ = false;
    completionDeferred_ = false;
    pageDeadline_.reset();
    if (pageTimeout.count() > 0) pageDeadline_ = clock_() + pageTimeout;
    done_ = std::move(done);
    MoveDeadline();
    turn_->start(kWaitTurn);
    if (ApplicationClosing()) {
        PostCompletion();
        endReason_ = kEndReasonTimedOut;
        return;
    }
    GetASync();
    if (State() == THttpState::Ready) PostCompletion();
}

TWaitResult TTimedHttpCli::GetWithTimeout(std::chrono::milliseconds timeout,
                                          std::chrono::milliseconds pageTimeout) {
    QEventLoop loop;
    std::optional<TWaitResult> result;
    StartGet(timeout, pageTimeout, [&](TWaitResult how) {
        result = how;
        loop.exit();
    });
    if (!result) loop.exec();
    if (!result) {
        // The loop ended without us: the application is quitting.
        done_ = nullptr;
        AbortWith(kEndReasonTimedOut);
        turn_->stop();
        return TWaitResult::TimedOut;
    }
    return *result;
}

void TTimedHttpCli::MoveDeadline() {
    deadline_ = clock_() + timeout_;
}

void TTimedHttpCli::ClearDeadline() {
    deadline_.reset();
}

// One turn of a running exchange: the application, the deadlines, OnWait.
void TTimedHttpCli::CheckTurn() {
    if (!done_ || promptOpen_ || completionPosted_) return;
    const auto now = clock_();
    if (pageDeadline_ && now >= *pageDeadline_) pageDeadlinePassed_ = true;
    if (ApplicationClosing() || pageDeadlinePassed_ || (deadline_ && now >= *deadline_)) {
        AbortWith(kEndReasonTimedOut);
        return;
    }
    if (!OnWait) return;
    bool canAbort = false;
    OnWait(*this, canAbort);
    if (canAbort && !completionPosted_) AbortWith(kEndReasonCanceled);
}

// The end is reported on a fresh stack, never inside a socket signal or a handler.
void TTimedHttpCli::PostCompletion() {
    if (!done_ || completionPosted_) return;
    completionPosted_ = true;
    QTimer::singleShot(0, turn_.get(), [this] {
        if (promptOpen_) {
            completionDeferred_ = true;  // the prompt's caller is still on the stack
            return;
        }
        Complete();
    });
}

void TTimedHttpCli::Complete() {
    turn_->stop();
    DoneHandler done = std::move(done_);
    done_ = nullptr;
    if (done) done(ResultOfEndReason(endReason_));
}

void TTimedHttpCli::TriggerStateChange() {
    THttpCli::TriggerStateChange();
    if (State() == THttpState::Ready) PostCompletion();
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
    lookupThen_ = nullptr;
    // Inside the lookup's own callback the context must outlive the call.
    if (lookupContext_) lookupContext_.release()->deleteLater();
}

void TTimedHttpCli::ResolveHost(const std::string& host, bool fatal, ResolvedHandler then) {
    const bool isName = !IsDottedAddress(host);
    Resolved resolved;
    (isName ? resolved.name : resolved.address) = host;
    if (hostCache_ != nullptr) {
        if (isName) {
            if (auto address = hostCache_->AddressOf(host)) {
                resolved.address = *address;
                then(resolved);
                return;
            }
        } else if (auto name = hostCache_->NameOf(host)) {
            resolved.name = *name;
            then(resolved);
            return;
        }
    }

    lookupDirection_ = isName ? LookupDirection::Forward : LookupDirection::Reverse;
    lookupSubject_ = host;
    lookupFatal_ = fatal;
    lookupFailed_ = false;
    lookupResults_.clear();
    lookupResolved_ = resolved;
    lookupThen_ = std::move(then);
    MoveDeadline();
    SetState(THttpState::DnsLookup);
    lookupContext_ = std::make_unique<QObject>();
    lookupId_ = QHostInfo::lookupHost(QString::fromStdString(host), lookupContext_.get(),
                                      [this](const QHostInfo& info) { LookupDone(info); });
}

void TTimedHttpCli::LookupDone(const QHostInfo& info) {
    if (State() != THttpState::DnsLookup || info.lookupId() != lookupId_) return;
    lookupId_ = -1;
    if (lookupContext_) lookupContext_.release()->deleteLater();
    ResolvedHandler then = std::move(lookupThen_);
    lookupThen_ = nullptr;
    LookupResult(info);
    // A fatal failure ended the exchange; a handler of the state change may have aborted it.
    if (State() != THttpState::DnsLookupDone || !then) return;
    Resolved resolved = lookupResolved_;
    if (!lookupFailed_) {  // a failed reverse lookup: the address still serves
        const bool isName = lookupDirection_ == LookupDirection::Forward;
        if (hostCache_ != nullptr) {
            auto other =
                isName ? hostCache_->AddressOf(lookupSubject_) : hostCache_->NameOf(lookupSubject_);
            if (other) (isName ? resolved.address : resolved.name) = *other;
        } else if (!lookupResults_.empty()) {
            (isName ? resolved.address : resolved.name) = lookupResults_.front();
        }
    }
    then(resolved);
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
    // With a proxy the target is still resolved, so that the bypass test sees both forms.
    const bool targetFatal = !useProxy && !IsDottedAddress(location.host);
    if (!useProxy) {
        ResolveHost(location.host, targetFatal, [this, location](const Resolved& target) {
            ConnectTo(location, UrlParts{}, std::nullopt, target);
        });
        return;
    }
    const UrlParts proxy = SplitAddress(Proxy());
    ResolveHost(proxy.host, !IsDottedAddress(proxy.host),
                [this, location, proxy, targetFatal](const Resolved& proxyHost) {
                    if (proxyHost.address.empty()) {
                        FinishExchange();
                        return;
                    }
                    ResolveHost(location.host, targetFatal,
                                [this, location, proxy, proxyHost](const Resolved& target) {
                                    ConnectTo(location, proxy, proxyHost, target);
                                });
                });
}

void TTimedHttpCli::ConnectTo(const UrlParts& location, const UrlParts& proxy,
                              const std::optional<Resolved>& proxyHost, const Resolved& target) {
    if (State() == THttpState::Ready || State() == THttpState::Aborting) return;
    const bool direct = !proxyHost || Bypassed(location, target);
    Route route = direct ? DirectRoute(location) : ProxyRoute(location, proxy);
    route.connectHost = direct ? target.address : proxyHost->address;
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
