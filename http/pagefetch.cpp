// PageFetch: the attempts of one page and the failure log line of each way it can end.
#include "http/pagefetch.h"

#include <QTimer>
#include <algorithm>

#include "http/cookmanager.h"
#include "http/httpaddress.h"
#include "http/httpstrings.h"
#include "http/pagecharset.h"
#include "http/requesthead.h"
#include "http/requestsafety.h"
#include "http/timedhttpcli.h"
#include "text/textcompare.h"

namespace kv::http {

// One attempt's client, cookie manager and received-body stream, freed together.
struct PageFetch::Attempt {
    TTimedHttpCli client;
    TCookManager cookies{TCookieMode::OwnList};
    std::string body;
    bool refusedType = false;  // aborted by the content-type test
};

namespace {

// Only HTML is read; a redirect or challenge without a content type is refused too.
constexpr std::string_view kHtmlContentType = "TEXT/HTML";

std::chrono::milliseconds Seconds(int seconds) {
    return std::chrono::milliseconds(std::max(0LL, seconds * 1000LL));
}

// "Connection error: " + code + " " + detail + ". ": the status and its reason, or the
// socket's error when there was one.
std::string ConnectionErrorText(const TTimedHttpCli& cli) {
    int code = cli.StatusCode();
    std::string detail = cli.ReasonPhrase();
    if (cli.LastSocketError() != 0) {
        code = cli.LastSocketError();
        const std::string description(SocketErrorDescription(code));
        detail = detail.empty() ? description : detail + ": " + description;
    }
    return std::string(kFetchConnectionError) + std::to_string(code) + " " + detail + ". ";
}

}  // namespace

PageFetch::PageFetch(HttpUnit& unit, PageRequest request, DoneHandler done)
    : unit_(unit), request_(std::move(request)), done_(std::move(done)) {}

PageFetch::~PageFetch() = default;

void PageFetch::Start() {
    if (finished_) return;
    settings_ = unit_.Settings();  // a handler must not change them midway
    retriesLeft_ = settings_.RetryConnect;
    StartAttempt();
}

void PageFetch::StartAttempt() {
    attempt_ = std::make_unique<Attempt>();
    SharedCookieList& jar = request_.cookies ? *request_.cookies : ownCookies_;
    TTimedHttpCli& cli = attempt_->client;
    cli.SetCookManager(&attempt_->cookies);
    cli.SetHostCache(&unit_.HostCache());
    cli.SetAuthStore(&unit_.Credentials());
    cli.OnRequestHeaderEnd = [&jar, language = settings_.AcceptLanguage,
                              lines = request_.options.headerLines](THttpCli& client,
                                                                    std::string& head) {
        if (!language.empty()) AppendHeaderLine(head, "Accept-Language", language);
        // One Cookie line: the client's own pairs, then the shared ones it does not have.
        const std::string cookies = jar.Text(client.TargetHost(), client.Cookie());
        if (!cookies.empty() && cookies != client.Cookie())
            ReplaceHeaderLines(head, {"Cookie: " + cookies});
        ReplaceHeaderLines(head, lines);
    };
    // The stream keeps only the last document of a redirect chain.
    cli.OnDocBegin = [body = &attempt_->body](THttpCli&) { body->clear(); };
    cli.OnCookieParsed = [&jar](TTimedHttpCli& client, const std::string& name,
                                const std::string& value, const std::string&,
                                const std::string& domain, const std::string&, bool,
                                const std::string&, bool&) {
        jar.Set(SplitAddress(WithHttpPrefix(client.Location())).host, domain, name, value);
    };
    cli.OnHeaderEnd = [refused = &attempt_->refusedType](THttpCli& client) {
        if (!text::AsciiUpperCase(client.ContentType()).starts_with(kHtmlContentType)) {
            *refused = true;
            client.Abort();
        }
    };
    cli.OnWait = [this](TTimedHttpCli&, bool& canAbort) { canAbort = unit_.Stopped(); };

    cli.SetAccept("*/*");
    cli.SetAutoRedirect(true);
    cli.SetRcvdStream(&attempt_->body);
    cli.SetURL(request_.address);
    cli.SetReference(request_.referrer);
    if (settings_.ConnectType != kConnectDirect && !settings_.Proxy.empty()) {
        cli.SetProxy(settings_.Proxy);
        cli.SetProxyPort(std::to_string(settings_.ProxyPort));
        if (!settings_.ProxyBypass.empty()) cli.SetProxyOverride(settings_.ProxyBypass);
    }
    cli.SetAgent(settings_.UserAgent);
    cli.SetPostBody(request_.options.postBody);
    cli.SetCaFile(settings_.CAFile);
    if (settings_.UseAuth == 1)
        cli.SetSettingsCredentials(settings_.Username, settings_.Password, &unit_.Challenged());
    cli.StartGet(Seconds(settings_.timeout), Seconds(settings_.PageTimeout),
                 [this](TWaitResult result) { AttemptEnded(result); });
}

void PageFetch::AttemptEnded(TWaitResult result) {
    TTimedHttpCli& cli = attempt_->client;
    switch (result) {
        case TWaitResult::Done: {
            if (cli.StatusCode() != 200) {
                if (unit_.Stopped()) {
                    Finish({PageResult::Outcome::Canceled,
                            request_.address,
                            {},
                            std::string(kFetchCanceled)});
                    return;
                }
                // Socket failures carry WinSock numbers here, never an HTTP status.
                const int status = cli.StatusCode();
                Fail(ConnectionErrorText(cli), status >= 100 && status <= 599 ? status : 0);
                return;
            }
            if (cli.Location() != request_.address) request_.address = cli.Location();
            std::string page = PageToUtf8(attempt_->body, cli.ContentType());
            const std::string& checkText = request_.checkText;
            if (!checkText.empty() &&
                text::AsciiLowerCase(page).find(checkText) == std::string::npos) {
                Fail(kFetchNotRetrieved);
                return;
            }
            Finish({PageResult::Outcome::Page, request_.address, std::move(page), {}});
            return;
        }
        case TWaitResult::TimedOut:
            if (retriesLeft_ <= 0) {
                Fail(cli.PageDeadlinePassed()
                         ? FormatText(kFetchPageDeadline, {std::to_string(settings_.PageTimeout)})
                         : std::string(kFetchTimedOut));
                return;
            }
            --retriesLeft_;
            // A fresh stack: this attempt's client is still reporting its end.
            QTimer::singleShot(0, &context_, [this] {
                if (!finished_) StartAttempt();  // unless aborted meanwhile
            });
            return;
        case TWaitResult::Canceled:
            if (attempt_->refusedType) {
                Finish({PageResult::Outcome::NotHtml, request_.address, {}, {}});
                return;
            }
            Finish(
                {PageResult::Outcome::Canceled, request_.address, {}, std::string(kFetchCanceled)});
            return;
    }
}

// The message followed by the details of the fetch.
void PageFetch::Fail(std::string_view message, int status) {
    const std::string port = std::to_string(settings_.ProxyPort);
    Finish({PageResult::Outcome::Failed,
            request_.address,
            {},
            std::string(message) +
                FormatText(kFetchDetails, {settings_.Proxy, port, settings_.UserAgent,
                                           request_.address, request_.referrer}),
            status});
}

void PageFetch::Finish(PageResult result) {
    if (finished_) return;
    finished_ = true;
    DoneHandler done = std::move(done_);
    done_ = nullptr;
    if (done) done(std::move(result));
}

void PageFetch::Abort(bool silently) {
    if (finished_) return;
    if (silently) done_ = nullptr;
    // The client reports Canceled on a fresh stack; a retry not yet begun ends here.
    if (attempt_ && attempt_->client.Running()) {
        attempt_->client.AbortWith(kEndReasonCanceled);
        return;
    }
    Finish({PageResult::Outcome::Canceled, request_.address, {}, std::string(kFetchCanceled)});
}

}  // namespace kv::http
