// FetchPage against the scripted server: the request head, the content-type test, retries on
// time-outs only, the failure log lines and the settings' credentials.
#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <string>

#include "tests/http/fetch_fixture.h"
#include "tests/http/headtail.h"
#include "tests/support/scripted_server.h"

namespace kv::http::testing {
namespace {

using kv::testing::Script;
using kv::testing::ScriptedServer;
using namespace std::chrono_literals;

constexpr const char* kHtmlHead = "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n";

TEST_F(FetchTest, PageArrivesWithTheProgramsRequestHead) {
    ScriptedServer server({Script::Reply(
        std::string(kHtmlHead) + "Set-Cookie: sid=7; path=/\r\n\r\n<HTML>Kelvane Keywords")});
    unit->Cookies().Set("127.0.0.1", "", "pref", "en");
    std::string url = server.Url("/a?b=c");
    std::string page;
    unit->FetchPage(url, "kelvane keywords", "http://ref.test/", page);
    EXPECT_EQ(page, "<HTML>Kelvane Keywords");
    EXPECT_EQ(url, server.Url("/a?b=c"));
    EXPECT_EQ(server.Request(0),
              "GET /a?b=c HTTP/1.1\r\n"
              "Accept: */*\r\n"
              "Referer: http://ref.test/\r\n"
              "User-Agent: KelvaneTest/1.0\r\n"
              "Host: " +
                  server.HostPort() + "\r\n" + kHeadTail +
                  "Accept-Language: en-US,en;q=0.9\r\n"
                  "Cookie: pref=en\r\n\r\n");
    EXPECT_EQ(unit->Cookies().Text("127.0.0.1"), "pref=en; sid=7");
}

// A cookie set on the way through a redirect is in the client's own line and in the shared
// list: the next request carries it once, in one Cookie line.
TEST_F(FetchTest, ARedirectSendsOneCookieLineWithEachCookieOnce) {
    ScriptedServer server(
        {Script::Reply(
             "HTTP/1.0 302 Found\r\nContent-Type: text/html\r\nSet-Cookie: sid=7; path=/\r\n"
             "Location: /b\r\n\r\n"),
         Script::Reply(std::string(kHtmlHead) + "\r\n<p>here</p>")});
    unit->Cookies().Set("127.0.0.1", "", "pref", "en");
    std::string url = server.Url("/a");
    std::string page;
    unit->FetchPage(url, "", "", page);
    const std::string second = server.Request(1);
    EXPECT_NE(second.find("\r\nCookie: sid=7; pref=en\r\n"), std::string::npos) << second;
    EXPECT_EQ(second.find("Cookie:"), second.rfind("Cookie:")) << second;
}

TEST_F(FetchTest, MissingOrCapitalisedCheckTextIsAFailure) {
    ScriptedServer server({Script::Reply(std::string(kHtmlHead) + "\r\n<p>Other text</p>"),
                           Script::Reply(std::string(kHtmlHead) + "\r\n<p>Other text</p>")});
    const std::string url = server.Url("/");
    EXPECT_EQ(FailureOf(url, "keywords", "r"),
              "This page was not retrieved properly. " + Details(url, "r"));
    // The page is lowered before the search, the check text is not.
    EXPECT_EQ(FailureOf(url, "Other"), "This page was not retrieved properly. " + Details(url));
}

TEST_F(FetchTest, AFailedFetchIsAnHttpErrorToo) {
    ScriptedServer server({Script::Reply(std::string(kHtmlHead) + "\r\n<p>Other text</p>")});
    std::string url = server.Url("/"), page;
    EXPECT_THROW(unit->FetchPage(url, "keywords", "", page), HttpError);
}

TEST_F(FetchTest, NonHtmlAnswersLeaveThePageUntouchedWithoutRetry) {
    unit->Settings().RetryConnect = 2;
    ScriptedServer server(
        {Script::Reply("HTTP/1.0 200 OK\r\nContent-Type: image/png\r\n\r\nPNGDATA"),
         Script::Reply("HTTP/1.0 302 Found\r\nLocation: /elsewhere\r\n\r\n")});
    std::string url = server.Url("/logo.png");
    std::string page = "before";
    unit->FetchPage(url, "", "", page);
    EXPECT_EQ(page, "before");
    EXPECT_EQ(url, server.Url("/logo.png"));

    // A redirect without a content type is refused before it is followed.
    url = server.Url("/moved");
    unit->FetchPage(url, "", "", page);
    EXPECT_EQ(page, "before");
    EXPECT_EQ(url, server.Url("/moved"));
    server.WaitFinished();
    EXPECT_EQ(server.ConnectionsAccepted(), 2u);
}

TEST_F(FetchTest, RedirectUpdatesTheAddress) {
    ScriptedServer server(
        {Script::Reply("HTTP/1.0 301 Moved\r\nContent-Type: text/html\r\nLocation: /final\r\n\r\n"),
         Script::Reply(std::string(kHtmlHead) + "\r\nthe end")});
    std::string url = server.Url("/start");
    std::string page;
    unit->FetchPage(url, "", "", page);
    EXPECT_EQ(page, "the end");
    EXPECT_EQ(url, server.Url("/final"));
}

TEST_F(FetchTest, ErrorStatusNamesCodeAndReason) {
    ScriptedServer server({Script::Reply(
        "HTTP/1.0 500 Internal Server Error\r\nContent-Type: text/html\r\n\r\n<p>oops</p>")});
    const std::string url = server.Url("/broken");
    EXPECT_EQ(FailureOf(url, "", "ref"),
              "Connection error: 500 Internal Server Error. " + Details(url, "ref"));
    EXPECT_EQ(lastStatus, 500);  // engines' block rules read it
}

TEST_F(FetchTest, SilentServerIsTriedRetryConnectMoreTimesThenTimesOut) {
    unit->Settings().timeout = 1;
    unit->Settings().RetryConnect = 1;
    unit->Cookies().Set("127.0.0.1", "", "kept", "1");
    ScriptedServer server({Script().ReadRequest().Hold(), Script().ReadRequest().Hold()});
    const std::string url = server.Url("/slow");
    EXPECT_EQ(FailureOf(url), "Connection timed out. " + Details(url));
    EXPECT_EQ(lastStatus, 0);
    EXPECT_EQ(server.ConnectionsAccepted(), 2u);
    // The shared cookie list carries over to the repeat.
    EXPECT_NE(server.Request(1).find("Cookie: kept=1\r\n"), std::string::npos);
}

TEST_F(FetchTest, StopDuringAFetchIsCanceledByUser) {
    ScriptedServer server({Script().ReadRequest().Hold()});
    QTimer::singleShot(100, [this] { stop = true; });
    unit->Settings().timeout = 10;
    EXPECT_EQ(FailureOf(server.Url("/")), "Canceled by user. ");
}

TEST_F(FetchTest, UnresolvableNameAndRefusedPortAreConnectionErrors) {
    const std::string name = "http://nowhere.invalid/x";
    EXPECT_EQ(FailureOf(name, "", "r"),
              "Connection error: 404 can't resolve hostname (nowhere.invalid) to IP address. " +
                  Details(name, "r"));

    std::uint16_t port = 0;
    {
        ScriptedServer gone({});
        port = gone.Port();
    }
    const std::string refused = "http://127.0.0.1:" + std::to_string(port) + "/";
    EXPECT_EQ(FailureOf(refused),
              "Connection error: 10061 Connection refused (Error #10061): Connection refused. " +
                  Details(refused));
}

TEST_F(FetchTest, DetailsShowTheProxySettingEvenForDirectConnections) {
    unit->Settings().Proxy = "proxy.invalid";
    unit->Settings().ProxyPort = 3128;
    ScriptedServer server(
        {Script::Reply("HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n")});
    const std::string url = server.Url("/none");
    EXPECT_EQ(FailureOf(url),
              "Connection error: 404 Not Found. Proxy: proxy.invalid. Port: 3128. UserAgent: " +
                  std::string(kTestAgent) + ". URL: " + url + ". Referrer: ");
}

// The settings' pair goes to a host only after it asked, then ahead of time to it alone.
TEST_F(FetchTest, SettingsCredentialsGoOnlyToHostsThatAsked) {
    unit->Settings().UseAuth = 1;
    unit->Settings().Username = "site";
    unit->Settings().Password = "secret";
    const std::string challenge =
        "HTTP/1.0 401 Unauthorized\r\nContent-Type: text/html\r\nWWW-Authenticate: Basic "
        "realm=\"x\"\r\n\r\nlogin";
    ScriptedServer server({Script::Reply(challenge),
                           Script::Reply(std::string(kHtmlHead) + "\r\nmember page"),
                           Script::Reply(std::string(kHtmlHead) + "\r\nsecond page")});
    ScriptedServer other({Script::Reply(std::string(kHtmlHead) + "\r\nthird party")});
    const std::string pair = "Authorization: Basic c2l0ZTpzZWNyZXQ=\r\n";  // site:secret

    std::string url = server.Url("/members");
    std::string page;
    unit->FetchPage(url, "", "", page);
    EXPECT_EQ(page, "member page");
    EXPECT_EQ(server.Request(0).find("Authorization"), std::string::npos);
    EXPECT_NE(server.Request(1).find(pair), std::string::npos);
    EXPECT_TRUE(dialog.shown.empty());

    url = server.Url("/other");
    unit->FetchPage(url, "", "", page);
    EXPECT_NE(server.Request(2).find(pair), std::string::npos);

    // The same address on another port is another host.
    url = other.Url("/");
    unit->FetchPage(url, "", "", page);
    EXPECT_EQ(page, "third party");
    EXPECT_EQ(other.Request(0).find("Authorization"), std::string::npos);
}

TEST_F(FetchTest, RefusedSettingsCredentialsReachThePrompt) {
    unit->Settings().UseAuth = 1;
    unit->Settings().Username = "site";
    unit->Settings().Password = "wrong";
    dialog.user = "site";
    dialog.password = "right";
    const std::string challenge =
        "HTTP/1.0 401 Unauthorized\r\nContent-Type: text/html\r\nWWW-Authenticate: Basic "
        "realm=\"x\"\r\n\r\nlogin";
    ScriptedServer server({Script::Reply(challenge), Script::Reply(challenge),
                           Script::Reply(std::string(kHtmlHead) + "\r\nin")});
    std::string url = server.Url("/");
    std::string page;
    unit->FetchPage(url, "", "", page);
    EXPECT_EQ(page, "in");
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].userName, "site");
    EXPECT_EQ(dialog.shown[0].password, "wrong");
    EXPECT_NE(server.Request(2).find("Authorization: Basic c2l0ZTpyaWdodA==\r\n"),
              std::string::npos);  // site:right
}

}  // namespace
}  // namespace kv::http::testing
