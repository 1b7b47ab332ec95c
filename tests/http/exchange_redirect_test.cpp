// Following Location replies: rooted, relative, absolute, back to the first URL, other
// schemes, the hop cap, and turned off.
#include "http/httplimits.h"
#include "tests/http/exchange_fixture.h"

namespace kv::http::testing {
namespace {

std::string Redirect(const std::string& location) {
    return "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\nContent-Type: text/html\r\n\r\n";
}

// The server sends the redirect head and keeps the connection: the client must close it.
Script RedirectAndHold(const std::string& location) {
    Script script;
    script.ReadRequest().Send(Redirect(location)).Hold();
    return script;
}

std::string RequestLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
}

class RedirectTest : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        cli.OnLocationChange = [this](THttpCli& c) { locations.push_back(c.Location()); };
    }
    std::vector<std::string> locations;
};

TEST_F(RedirectTest, RootedLocationKeepsHostAndPortAndOpensANewConnection) {
    ScriptedServer server({RedirectAndHold("/b"), Script::Reply("HTTP/1.0 200 OK\r\n\r\nbody b")});
    Fetch(server.Url("/a"));
    EXPECT_EQ(RequestLine(server.Request(1)), "GET /b HTTP/1.1");
    EXPECT_NE(server.Request(1).find("\r\nHost: " + server.HostPort() + "\r\n"), std::string::npos);
    EXPECT_EQ(server.ConnectionsAccepted(), 2u);
    EXPECT_EQ(cli.Location(), server.Url("/b"));
    EXPECT_EQ(cli.URL(), server.Url("/a"));
    EXPECT_EQ(locations, std::vector<std::string>{server.Url("/b")});
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(body, "body b");
    EXPECT_EQ(cli.RedirectCount(), 1);
}

TEST_F(RedirectTest, RelativeLocationJoinsTheDirectoryOfThePath) {
    ScriptedServer server({RedirectAndHold("next.html?p=1"), RedirectAndHold("../up"),
                           Script::Reply("HTTP/1.0 200 OK\r\n\r\nend")});
    Fetch(server.Url("/dir/sub/page.html?from=/x/y"));
    EXPECT_EQ(RequestLine(server.Request(1)), "GET /dir/sub/next.html?p=1 HTTP/1.1");
    EXPECT_EQ(RequestLine(server.Request(2)), "GET /dir/sub/../up HTTP/1.1");
    EXPECT_EQ(body, "end");
}

TEST_F(RedirectTest, AbsoluteLocationGoesToItsOwnHostWithCredentials) {
    ScriptedServer second({Script::Reply("HTTP/1.0 200 OK\r\n\r\nsecond")});
    ScriptedServer first({RedirectAndHold("http://me:pw@" + second.HostPort() + "/c?d")});
    cli.SetAccept("");
    cli.SetAgent("");
    Fetch(first.Url("/a"));
    EXPECT_EQ(second.Request(0),
              "GET /c?d HTTP/1.1\r\nHost: " + second.HostPort() +
                  "\r\nAuthorization: Basic bWU6cHc=\r\n" + kHeadTail + "\r\n");
    EXPECT_EQ(body, "second");
}

TEST_F(RedirectTest, LocationEqualToTheFirstUrlIsNotFollowed) {
    ScriptedServer loop(
        {Script::Reply("HTTP/1.0 302 Found\r\nLocation: /same\r\n\r\nthe reply itself")});
    Fetch(loop.Url("/same"));
    EXPECT_EQ(cli.StatusCode(), 302);
    EXPECT_EQ(body, "the reply itself");
    EXPECT_TRUE(locations.empty());
    EXPECT_EQ(loop.ConnectionsAccepted(), 1u);
}

TEST_F(RedirectTest, ChainBackToTheFirstUrlEndsThere) {
    ScriptedServer server({RedirectAndHold("/b"), Script::Reply(Redirect("/a") + "back at a")});
    Fetch(server.Url("/a"));
    EXPECT_EQ(cli.StatusCode(), 302);
    EXPECT_EQ(body, "back at a");
    EXPECT_EQ(cli.Location(), server.Url("/b"));
}

TEST_F(RedirectTest, OtherSchemeEndsAsAFailureNamingTheAddress) {
    ScriptedServer server({RedirectAndHold("ftp://files.example.test/login")});
    Fetch(server.Url("/a"));
    EXPECT_TRUE(cli.FailedLocally());
    EXPECT_EQ(cli.StatusCode(), kLocalFailureStatus);
    EXPECT_EQ(cli.ReasonPhrase(),
              "can't follow redirect to unsupported address ftp://files.example.test/login");
    EXPECT_TRUE(locations.empty());
}

TEST_F(RedirectTest, UpperCaseHttpSchemeIsAnAbsoluteAddress) {
    ScriptedServer second({Script::Reply("HTTP/1.0 200 OK\r\n\r\nok")});
    ScriptedServer first({RedirectAndHold("HTTP://" + second.HostPort() + "/z")});
    Fetch(first.Url("/a"));
    EXPECT_EQ(RequestLine(second.Request(0)), "GET /z HTTP/1.1");
    EXPECT_EQ(body, "ok");
}

TEST_F(RedirectTest, TurnedOffTheRedirectReplyIsTheResult) {
    ScriptedServer server({RedirectAndHold("https://elsewhere.example.test/")});
    cli.SetAutoRedirect(false);
    Fetch(server.Url("/a"));
    EXPECT_EQ(cli.StatusCode(), 302);
    EXPECT_FALSE(cli.FailedLocally());
    EXPECT_TRUE(body.empty());
}

TEST_F(RedirectTest, EndlessChainStopsAtTheHopCap) {
    std::vector<Script> scripts;
    for (int i = 0; i <= kMaxRedirects; ++i) {
        scripts.push_back(RedirectAndHold("/hop" + std::to_string(i % 2)));
    }
    ScriptedServer server(std::move(scripts));
    Fetch(server.Url("/start"));
    EXPECT_EQ(cli.RedirectCount(), kMaxRedirects);
    EXPECT_EQ(server.ConnectionsAccepted(), static_cast<std::size_t>(kMaxRedirects + 1));
    EXPECT_TRUE(cli.FailedLocally());
    EXPECT_EQ(cli.ReasonPhrase(), "Maximum (20) redirects followed");
}

TEST_F(RedirectTest, EachRedirectStartsWithAFreshReplyState) {
    ScriptedServer server({Script::Reply("HTTP/1.0 301 Moved\r\nLocation: /b\r\nContent-Length: "
                                         "3\r\nWWW-Authenticate: x\r\n\r\n"),
                           Script::Reply("HTTP/1.0 200 OK\r\n\r\nfinal")});
    int docBegins = 0;
    cli.OnDocBegin = [&](THttpCli&) { ++docBegins; };
    Fetch(server.Url("/a"));
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ContentLength(), -1);
    EXPECT_TRUE(cli.AuthChallenges().empty());
    EXPECT_EQ(cli.RcvdHeader(), std::vector<std::string>{"HTTP/1.0 200 OK"});
    EXPECT_EQ(docBegins, 1);
    EXPECT_EQ(body, "final");
}

}  // namespace
}  // namespace kv::http::testing
