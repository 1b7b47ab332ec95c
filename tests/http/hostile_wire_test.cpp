// Hostile addresses, replies and settings on the wire: what the scripted server received,
// byte for byte. No line break reaches a request head, server credentials stay with their
// origin, cookies stay with the host or domain that set them.
#include <gtest/gtest.h>

#include <string>

#include "tests/http/exchange_fixture.h"
#include "tests/http/fetch_fixture.h"
#include "tests/http/headtail.h"

namespace kv::http::testing {
namespace {

const std::string kOk = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nok";
constexpr const char* kHtml = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n";
constexpr const char* kUnsafeValue = "its value holds a CR, LF or NUL byte";

class HostileExchangeTest : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        cli.SetAccept("");
        cli.SetAgent("");
    }
};

TEST_F(HostileExchangeTest, LineBreaksAndBlanksInTheAddressArePercentEncoded) {
    ScriptedServer server({Script::Reply(kOk)});
    Fetch(server.Url("/a b\r\nX-Smuggled: 1\r\n\r\nGET /evil HTTP/1.0"));
    EXPECT_EQ(server.Request(0),
              "GET /a%20b%0D%0AX-Smuggled:%201%0D%0A%0D%0AGET%20/evil%20HTTP/1.0 HTTP/1.1\r\n"
              "Host: " +
                  server.HostPort() + "\r\n" + kHeadTail + "\r\n");
    EXPECT_EQ(server.ConnectionsAccepted(), 1u);
}

TEST_F(HostileExchangeTest, ABareCarriageReturnInALocationStaysInTheTargetAndTheReferrer) {
    ScriptedServer server({Script::Reply("HTTP/1.0 302 Found\r\nLocation: /next\rX: y\r\n\r\n"),
                           Script::Reply(kOk), Script::Reply(kOk)});
    Fetch(server.Url("/"));
    EXPECT_EQ(server.Request(1), "GET /next%0DX:%20y HTTP/1.1\r\nHost: " + server.HostPort() +
                                     "\r\n" + kHeadTail + "\r\n");
    // An engine's next request names the address it came from as the referrer.
    cli.SetReference(cli.Location());
    Fetch(server.Url("/2"));
    EXPECT_NE(server.Request(2).find("Referer: http://127.0.0.1:" + std::to_string(server.Port()) +
                                     "/next%0DX:%20y\r\n"),
              std::string::npos);
}

TEST_F(HostileExchangeTest, AHeaderValueWithALineBreakFailsTheExchangeNamingTheField) {
    struct Case {
        void (THttpCli::*set)(std::string);
        std::string value;
        const char* field;
    } cases[] = {
        {&THttpCli::SetAgent, "Agent\r\nX-Evil: 1", "User-Agent"},
        {&THttpCli::SetCookie, "a=1\rX: 2", "Cookie"},
        {&THttpCli::SetAccept, std::string("*/*\0", 4), "Accept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        ScriptedServer server({Script().ReadRequest()});
        (cli.*c.set)(c.value);
        Fetch(server.Url("/"));
        (cli.*c.set)("");
        EXPECT_TRUE(cli.FailedLocally());
        EXPECT_EQ(cli.ReasonPhrase(),
                  "refused to send the " + std::string(c.field) + " header field: " + kUnsafeValue);
        server.WaitFinished();
        EXPECT_EQ(server.Request(0), "");  // not one byte of the head went out
    }
}

TEST_F(HostileExchangeTest, AHostThatIsNoHostNameIsRefusedBeforeTheProxyHearsOfIt) {
    ScriptedServer proxy({Script().ReadRequest(), Script().ReadRequest()});
    cli.SetProxy(proxy.HostPort());
    for (const char* url : {"http://evil\r\nhost/p", "http://a b/p"}) {
        Fetch(url);
        EXPECT_EQ(cli.ReasonPhrase(),
                  "refused to send a request: the host name holds characters no host name has");
    }
    proxy.WaitFinished();
    EXPECT_EQ(proxy.Request(0), "");
    EXPECT_EQ(proxy.Request(1), "");
}

// A fetch with settings that make hostile replies easy to see: no retry would hide a fault.
class HostileFetchTest : public FetchTest {
  protected:
    std::string Fetch(std::string url) {
        std::string page;
        unit->FetchPage(url, "", "", page);
        return page;
    }
};

TEST_F(HostileFetchTest, ACloseInsideTheReplyHeadFailsAtOnceWithoutARetry) {
    unit->Settings().RetryConnect = 2;
    ScriptedServer server({Script().ReadRequest().Send(std::string(kHtml)).Close(),
                           Script::Reply(kOk), Script::Reply(kOk)});
    const std::string url = server.Url("/");
    EXPECT_EQ(
        FailureOf(url),
        "Connection error: 404 connection closed before the reply head ended. " + Details(url));
    EXPECT_EQ(server.Request(1), "");  // never tried again
}

TEST_F(HostileFetchTest, AChallengeWithAnEmptyBodyIsAnsweredLikeAnyOther) {
    dialog.user = "u";
    dialog.password = "p";
    struct Case {
        int code;
        const char* challenge;
        const char* answer;
    } cases[] = {
        {401, "WWW-Authenticate: Basic realm=\"r\"", "Authorization: Basic dTpw\r\n"},
        {407, "Proxy-Authenticate: Basic realm=\"r\"", "Proxy-Authorization: Basic dTpw\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        // The server keeps the connection open: the empty body must not wait for its close.
        ScriptedServer server(
            {Script()
                 .ReadRequest()
                 .Send("HTTP/1.0 " + std::to_string(c.code) +
                       " Who\r\nContent-Type: text/html\r\nContent-Length: 0\r\n" + c.challenge +
                       "\r\n\r\n")
                 .Hold(),
             Script::Reply(std::string(kHtml) + "\r\nin")});
        if (c.code == 407) {
            unit->HostCache().AddForward({"127.0.0.1"}, "page.test");
            unit->Settings().ConnectType = kConnectProxy;
            unit->Settings().Proxy = "127.0.0.1";
            unit->Settings().ProxyPort = server.Port();
        }
        EXPECT_EQ(Fetch(c.code == 407 ? "http://page.test/" : server.Url("/")), "in");
        EXPECT_NE(server.Request(1).find(c.answer), std::string::npos) << server.Request(1);
    }
    EXPECT_EQ(dialog.shown.size(), 2u);
}

TEST_F(HostileFetchTest, ServerCredentialsDoNotFollowARedirectToAnotherOrigin) {
    dialog.user = "u";
    dialog.password = "p";
    const std::string pair = "Authorization: Basic dTpw\r\n";  // u:p
    ScriptedServer other({Script::Reply(kOk), Script::Reply(kOk)});
    const std::string toOther = std::string("HTTP/1.0 302 Found\r\nContent-Type: text/html\r\n") +
                                "Location: " + other.Url("/landing") + "\r\n\r\n";
    ScriptedServer server(
        {Script::Reply(toOther),  // credentials from the address
         Script::Reply("HTTP/1.0 401 No\r\nContent-Type: text/html\r\nWWW-Authenticate: Basic "
                       "realm=\"r\"\r\n\r\n"),
         Script::Reply("HTTP/1.0 302 Found\r\nContent-Type: text/html\r\nLocation: /inner\r\n\r\n"),
         Script::Reply(toOther)});  // after the prompt and a redirect on the same origin

    Fetch("http://u:p@" + server.HostPort() + "/a");
    EXPECT_NE(server.Request(0).find(pair), std::string::npos);
    EXPECT_EQ(other.Request(0).find("Authorization"), std::string::npos) << other.Request(0);

    Fetch(server.Url("/b"));
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_NE(server.Request(2).find(pair), std::string::npos);
    EXPECT_NE(server.Request(3).find(pair), std::string::npos);  // same origin keeps them
    EXPECT_EQ(other.Request(1).find("Authorization"), std::string::npos) << other.Request(1);
}

TEST_F(HostileFetchTest, CookiesStayWithTheHostOrDomainThatSetThem) {
    for (const char* name : {"shop.com", "www.shop.com", "evilshop.com.attacker.net"})
        unit->HostCache().AddForward({"127.0.0.1"}, name);
    ScriptedServer evil({Script::Reply(kOk)});
    const std::string redirect = "HTTP/1.0 302 Found\r\nContent-Type: text/html\r\n";
    ScriptedServer shop(
        {Script::Reply(redirect +
                       "Set-Cookie: cart=1; path=/\r\nSet-Cookie: wide=2; domain=.com; path=/\r\n"
                       "Set-Cookie: bad=a\rX-Injected: 1; path=/\r\n"
                       "Location: http://evilshop.com.attacker.net:" +
                       std::to_string(evil.Port()) + "/steal\r\n\r\n"),
         Script::Reply(redirect +
                       "Set-Cookie: d=2; path=/; domain=shop.com\r\nLocation: /c\r\n\r\n"),
         Script::Reply(kOk)});
    const std::string host = "shop.com:" + std::to_string(shop.Port());
    const std::string start = "Accept: */*\r\nUser-Agent: KelvaneTest/1.0\r\nHost: ";
    const std::string language = "Accept-Language: en-US,en;q=0.9\r\n";

    Fetch("http://" + host + "/a");
    EXPECT_EQ(evil.Request(0), "GET /steal HTTP/1.1\r\n" + start +
                                   "evilshop.com.attacker.net:" + std::to_string(evil.Port()) +
                                   "\r\n" + kHeadTail + language + "\r\n");

    // The next page of the same host: each Cookie line carries each cookie once.
    Fetch("http://www." + host + "/b");
    EXPECT_EQ(shop.Request(1), "GET /b HTTP/1.1\r\n" + start + "www." + host + "\r\n" + kHeadTail +
                                   language + "\r\n");
    EXPECT_EQ(shop.Request(2), "GET /c HTTP/1.1\r\n" + start + "www." + host +
                                   "\r\nCookie: d=2\r\n" + kHeadTail + language + "\r\n");
    EXPECT_EQ(unit->Cookies().Text("shop.com"), "cart=1; d=2");
}

}  // namespace
}  // namespace kv::http::testing
