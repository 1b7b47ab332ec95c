// TTimedHttpCli: credentials (stored, prompted, from the settings), cookies, and the events
// that move the deadline.
#include <string>

#include "http/authstore.h"
#include "http/challengedhosts.h"
#include "http/cookmanager.h"
#include "http/httpstrings.h"
#include "http/replyhead.h"
#include "http/setcookie.h"
#include "http/timedhttpcli.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

// The value after "realm=" (found ignoring case) as received, quotes included; without it,
// the whole value.
std::string RealmOf(const std::string& challenge) {
    const std::string lowered = text::AsciiLowerCase(challenge);
    const std::size_t at = lowered.find("realm=");
    return at == std::string::npos ? challenge : challenge.substr(at + 6);
}

}  // namespace

void TTimedHttpCli::SetSettingsCredentials(std::string user, std::string password,
                                           ChallengedHosts* challenged) {
    settingsUser_ = std::move(user);
    settingsPassword_ = std::move(password);
    challenged_ = challenged;
}

std::string TTimedHttpCli::HostKey() const {
    const UrlParts location = SplitAddress(Location());
    return text::AsciiLowerCase(location.host) + ":" + location.PortOrDefault();
}

std::string TTimedHttpCli::ReceivedField(std::string_view name) const {
    const std::string wanted = text::AsciiLowerCase(name);
    for (const auto& [field, value] : receivedFields_)
        if (field == wanted) return value;
    return {};
}

void TTimedHttpCli::ApplyStoredCredentials() {
    // The settings' pair of the previous request goes no further unless this host asked.
    if (settingsPairSent_ && Username() == settingsUser_ && Password() == settingsPassword_) {
        SetUsername("");
        SetPassword("");
    }
    settingsPairSent_ = false;
    bool stored = false;
    if (autoAuthenticate_ && authStore_ != nullptr) {
        if (auto found = authStore_->LookUp(401, Location())) {
            SetUsername(found->userName);
            SetPassword(found->password);
            stored = true;
        }
        if (!Proxy().empty()) {
            if (auto found = authStore_->LookUp(407, Proxy())) {
                SetProxyUsername(found->userName);
                SetProxyPassword(found->password);
            }
        }
    }
    const bool hostAsked = challenged_ != nullptr && challenged_->Contains(HostKey());
    if (!settingsUser_.empty() && (forceSettingsPair_ || (hostAsked && !stored))) {
        SetUsername(settingsUser_);
        SetPassword(settingsPassword_);
        settingsPairSent_ = true;
    }
    forceSettingsPair_ = false;
}

void TTimedHttpCli::TriggerRequestHeaderBegin() {
    ApplyStoredCredentials();
    if (cookManager_ != nullptr && cookManager_->Mode() != TCookieMode::Off) {
        // Rebuilt from the caller's value for every request, so that a redirect chain neither
        // carries one host's cookies to the next nor repeats them.
        if (!callerCookie_) callerCookie_ = Cookie();
        std::string cookie = *callerCookie_;
        MergeCookieText(cookie, cookManager_->CookieText(WithHttpPrefix(Location())));
        SetCookie(std::move(cookie));
    }
    THttpCli::TriggerRequestHeaderBegin();
}

void TTimedHttpCli::TriggerCookie(const std::string& value, bool& accept) {
    THttpCli::TriggerCookie(value, accept);
    if (!accept || cookManager_ == nullptr || cookManager_->Mode() == TCookieMode::Off) return;
    const TCookie cookie = ParseSetCookie(value, NowSeconds());
    if (OnCookieParsed) {
        OnCookieParsed(*this, cookie.name, cookie.value, cookie.expires, cookie.domain, cookie.path,
                       cookie.secure, value, accept);
    }
    if (accept) cookManager_->AddCookie(value, WithHttpPrefix(Location()));
}

void TTimedHttpCli::TriggerHeaderEnd() {
    THttpCli::TriggerHeaderEnd();
    if (State() == THttpState::Ready || State() == THttpState::Aborting) return;
    receivedFields_.clear();
    for (const std::string& line : RcvdHeader()) {
        if (auto field = ParseHeaderField(line))
            receivedFields_.emplace_back(field->name, field->value);
    }
    const int code = StatusCode();
    if (!autoAuthenticate_ || (code != 401 && code != 407)) return;
    ClearDeadline();  // a credential prompt may stay open without limit
    bool continueAuth = true;
    if (OnBeforeRequestAuth) OnBeforeRequestAuth(*this, code, continueAuth);
    if (continueAuth && State() != THttpState::Ready) answerPending_ = true;
}

void TTimedHttpCli::SessionClosed() {
    if (answerPending_) {
        answerPending_ = false;
        if (State() != THttpState::Ready && State() != THttpState::Aborting && AnswerChallenge())
            return;
        MoveDeadline();  // the challenge is the result, or a redirect it named goes on
    }
    THttpCli::SessionClosed();
}

// Answers the 401/407 reply just closed; false when that reply is the result.
bool TTimedHttpCli::AnswerChallenge() {
    const int code = StatusCode();
    if (code == 401 && !settingsUser_.empty() && !settingsPairSent_ && !settingsPairAnswered_) {
        settingsPairAnswered_ = true;
        forceSettingsPair_ = true;
        if (challenged_ != nullptr) challenged_->Add(HostKey());
        RepeatRequest();
        return true;
    }
    if (authStore_ == nullptr) return false;
    TAuthDlgData data;
    if (code == 401) {
        data.caption = kAuthCaptionServer;
        data.site = Location();
        data.realm = RealmOf(ReceivedField("WWW-Authenticate"));
        data.userName = Username();
        data.password = Password();
    } else {
        data.caption = kAuthCaptionFirewall;
        data.site = Proxy();
        data.realm = RealmOf(ReceivedField("Proxy-Authenticate"));
        data.userName = ProxyUsername();
        data.password = ProxyPassword();
    }
    promptOpen_ = true;
    const auto promptStart = clock_();
    const int result = authStore_->Prompt(code, data);
    promptOpen_ = false;
    // The user's time at the prompt does not count against the page.
    if (pageDeadline_) *pageDeadline_ += clock_() - promptStart;
    if (completionDeferred_) {
        completionDeferred_ = false;
        completionPosted_ = false;
        PostCompletion();
    }
    if (OnAfterRequestAuth) OnAfterRequestAuth(*this, code, result);
    if (State() == THttpState::Ready || State() == THttpState::Aborting) return true;
    if (result != kAuthOk) return false;
    if (code == 401) {
        SetUsername(data.userName);
        SetPassword(data.password);
    } else {
        SetProxyUsername(data.userName);
        SetProxyPassword(data.password);
    }
    RepeatRequest();
    return true;
}

void TTimedHttpCli::RepeatRequest() {
    ResetReplyState();
    MoveDeadline();
    SetState(THttpState::NotConnected);
    ConnectStep();
}

void TTimedHttpCli::TriggerSessionConnected() {
    MoveDeadline();
    THttpCli::TriggerSessionConnected();
}

void TTimedHttpCli::TriggerHeaderData(const std::string& line) {
    MoveDeadline();
    THttpCli::TriggerHeaderData(line);
}

void TTimedHttpCli::TriggerDocData(std::string_view chunk) {
    MoveDeadline();
    THttpCli::TriggerDocData(chunk);
}

void TTimedHttpCli::TriggerDataSent(std::int64_t bytes) {
    MoveDeadline();
    THttpCli::TriggerDataSent(bytes);
}

}  // namespace kv::http
