// The extension points a derived client builds on: its own connect step (resolved address,
// proxy choice), its own handling of a close (answering a 401 with a repeat), event hooks.
#include "tests/http/exchange_fixture.h"

namespace kv::http::testing {
namespace {

// Connects every request to a fixed address, as a client with its own name resolution does,
// and repeats a 401 once with credentials, as a client answering challenges does.
class RoutingCli : public THttpCli {
  public:
    explicit RoutingCli(std::uint16_t port) : port_(std::to_string(port)) {}

    std::vector<std::string> hooks;
    bool answered = false;

  protected:
    void ConnectStep() override {
        hooks.push_back("ConnectStep " + Location());
        Route route = DirectRoute(SplitAddress(Location()));
        route.connectHost = "127.0.0.1";
        route.connectPort = port_;
        StartRoute(route);
    }

    void SessionClosed() override {
        if (StatusCode() == 401 && !answered) {
            answered = true;
            hooks.push_back("answer 401");
            ResetReplyState();
            SetUsername("user");
            SetPassword("secret");
            SetState(THttpState::NotConnected);
            ConnectStep();
            return;
        }
        THttpCli::SessionClosed();
    }

    void TriggerHeaderEnd() override {
        hooks.push_back("HeaderEnd " + std::to_string(StatusCode()));
        THttpCli::TriggerHeaderEnd();
    }

    void TriggerDataSent(std::int64_t bytes) override {
        if (bytes > 0 && (hooks.empty() || hooks.back() != "sent")) hooks.push_back("sent");
    }

  private:
    std::string port_;
};

TEST(ExchangeExtensionTest, DerivedConnectStepAndCloseHandlingRepeatTheRequest) {
    ScriptedServer server(
        {Script::Reply("HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\n\r\n"),
         Script::Reply("HTTP/1.0 200 OK\r\n\r\nwelcome")});
    RoutingCli cli(server.Port());
    std::string body;
    int done = 0;
    int callerHeaderEnds = 0;
    cli.SetRcvdStream(&body);
    cli.SetAccept("");
    cli.SetAgent("");
    cli.OnHeaderEnd = [&](THttpCli&) { ++callerHeaderEnds; };
    cli.OnRequestDone = [&](THttpCli&) { ++done; };
    cli.SetURL("http://name.invalid/private");
    cli.GetASync();
    ASSERT_TRUE(RunEventsUntil([&] { return done > 0; }));

    EXPECT_EQ(server.Request(0),
              "GET /private HTTP/1.1\r\nHost: name.invalid\r\n" + std::string(kHeadTail) + "\r\n");
    EXPECT_EQ(server.Request(1),
              "GET /private HTTP/1.1\r\nHost: name.invalid\r\n"
              "Authorization: Basic dXNlcjpzZWNyZXQ=\r\n" + std::string(kHeadTail) + "\r\n");
    EXPECT_EQ(cli.hooks,
              (std::vector<std::string>{
                  "ConnectStep http://name.invalid/private", "sent", "HeaderEnd 401", "answer 401",
                  "ConnectStep http://name.invalid/private", "sent", "HeaderEnd 200"}));
    EXPECT_EQ(callerHeaderEnds, 2);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(body, "welcome");
    EXPECT_EQ(done, 1);
}

}  // namespace
}  // namespace kv::http::testing
