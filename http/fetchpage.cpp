// FetchPage: one page, a fresh client per attempt, only time-outs tried again, and every
// failure turned into its log line.
#include <memory>
#include <string>

#include "http/cookmanager.h"
#include "http/httpstrings.h"
#include "http/httpunit.h"
#include "http/pagecharset.h"
#include "http/requesthead.h"
#include "http/timedhttpcli.h"
#include "text/textcompare.h"

namespace kv::http {

// One attempt's client, cookie manager and received-body stream, freed together.
struct HttpUnit::FetchAttempt {
    TTimedHttpCli client;
    TCookManager cookies{TCookieMode::OwnList};
    std::string body;
    bool refusedType = false;  // aborted by the content-type test
};

namespace {

// Only HTML is read; a redirect or challenge without a content type is refused too.
constexpr std::string_view kHtmlContentType = "TEXT/HTML";

// Raises the failure log line: the message followed by the details of the fetch.
[[noreturn]] void Fail(std::string_view message, const ConnectionSettings& settings,
                       const std::string& address, const std::string& referrer) {
    const std::string port = std::to_string(settings.ProxyPort);
    throw FetchError(
        std::string(message) +
        FormatText(kFetchDetails, {settings.Proxy, port, settings.UserAgent, address, referrer}));
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

void HttpUnit::PrepareAttempt(FetchAttempt& attempt, const ConnectionSettings& settings,
                              const std::string& address, const std::string& referrer,
                              const FetchOptions& options) {
    TTimedHttpCli& cli = attempt.client;
    cli.SetCookManager(&attempt.cookies);
    cli.SetHostCache(&hostCache_);
    cli.SetAuthStore(&credentials_);
    cli.OnRequestHeaderEnd = [this, language = settings.AcceptLanguage,
                              lines = options.headerLines](THttpCli&, std::string& head) {
        if (!language.empty()) head += "Accept-Language: " + language + "\r\n";
        if (!cookies_.Empty()) head += "Cookie: " + cookies_.Text() + "\r\n";
        ReplaceHeaderLines(head, lines);
    };
    // The stream keeps only the last document of a redirect chain.
    cli.OnDocBegin = [body = &attempt.body](THttpCli&) { body->clear(); };
    cli.OnCookieParsed = [this](TTimedHttpCli&, const std::string& name, const std::string& value,
                                const std::string&, const std::string&, const std::string&, bool,
                                const std::string&, bool&) { cookies_.Set(name, value); };
    cli.OnHeaderEnd = [refused = &attempt.refusedType](THttpCli& client) {
        if (!text::AsciiUpperCase(client.ContentType()).starts_with(kHtmlContentType)) {
            *refused = true;
            client.Abort();
        }
    };
    cli.OnWait = [this](TTimedHttpCli&, bool& canAbort) { canAbort = Stopped(); };

    cli.SetAccept("*/*");
    cli.SetAutoRedirect(true);
    cli.SetRcvdStream(&attempt.body);
    cli.SetURL(address);
    cli.SetReference(referrer);
    if (settings.ConnectType != kConnectDirect && !settings.Proxy.empty()) {
        cli.SetProxy(settings.Proxy);
        cli.SetProxyPort(std::to_string(settings.ProxyPort));
    }
    cli.SetAgent(settings.UserAgent);
    cli.SetPostBody(options.postBody);
    cli.SetCaFile(settings.CAFile);
    if (settings.UseAuth == 1)
        cli.SetSettingsCredentials(settings.Username, settings.Password, &challenged_);
}

void HttpUnit::FetchPage(std::string& address, const std::string& checkText,
                         const std::string& referrer, std::string& page,
                         const FetchOptions& options) {
    const ConnectionSettings settings = settings_;  // a handler must not change them midway
    const auto timeout = std::chrono::milliseconds(std::max(0LL, settings.timeout * 1000LL));
    int retriesLeft = settings.RetryConnect;
    for (;;) {
        auto attempt = std::make_unique<FetchAttempt>();
        PrepareAttempt(*attempt, settings, address, referrer, options);
        TTimedHttpCli& cli = attempt->client;
        switch (cli.GetWithTimeout(timeout)) {
            case TWaitResult::Done:
                if (cli.StatusCode() != 200) {
                    if (Stopped()) throw FetchError(std::string(kFetchCanceled));
                    Fail(ConnectionErrorText(cli), settings, address, referrer);
                }
                page = PageToUtf8(attempt->body, cli.ContentType());
                if (cli.Location() != address) address = cli.Location();
                if (checkText.empty() ||
                    text::AsciiLowerCase(page).find(checkText) != std::string::npos)
                    return;
                Fail(kFetchNotRetrieved, settings, address, referrer);
            case TWaitResult::TimedOut:
                if (retriesLeft <= 0) Fail(kFetchTimedOut, settings, address, referrer);
                --retriesLeft;
                continue;
            case TWaitResult::Canceled:
                if (attempt->refusedType) return;
                throw FetchError(std::string(kFetchCanceled));
        }
    }
}

}  // namespace kv::http
