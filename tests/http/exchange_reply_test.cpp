// Reading replies: bodies ended by the close, Content-Length, head-less pages, error pages,
// limits, early closes and connection failures.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "http/httplimits.h"
#include "http/httpstrings.h"
#include "tests/http/exchange_fixture.h"

namespace kv::http::testing {
namespace {

TEST_F(ExchangeTest, BodyWithoutContentLengthEndsAtTheClose) {
    std::string page(100000, 'x');
    ScriptedServer server({Script()
                               .ReadRequest()
                               .Send("HTTP/1.1 200 Fine Thanks\r\nContent-Type: Text/HTML; "
                                     "Charset=UTF-8\r\n\r\n")
                               .Trickle(page.substr(0, 30), 10, 5ms)
                               .Send(page.substr(30))
                               .Close()});
    Fetch(server.Url("/"));
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ReasonPhrase(), "Fine Thanks");
    EXPECT_EQ(cli.ContentType(), "text/html; charset=utf-8");
    EXPECT_EQ(cli.ContentLength(), -1);
    EXPECT_EQ(body, page);
    EXPECT_EQ(cli.RcvdCount(), page.size());
    EXPECT_FALSE(cli.FailedLocally());
}

TEST_F(ExchangeTest, HeadTrickledInPiecesIsReassembledIntoLines) {
    ScriptedServer server(
        {Script()
             .ReadRequest()
             .Trickle("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nX-A: 1\r\n\r\nbo", 3, 2ms)
             .Send("dy")
             .Close()});
    std::vector<std::string> lines;
    cli.OnHeaderData = [&](THttpCli&, const std::string& line) { lines.push_back(line); };
    Fetch(server.Url("/"));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"HTTP/1.0 200 OK", "Content-Type: text/html", "X-A: 1"}));
    EXPECT_EQ(body, "body");
}

TEST_F(ExchangeTest, ContentLengthZeroEndsAtTheEmptyLineWithoutWaitingForTheClose) {
    ScriptedServer server({Script()
                               .ReadRequest()
                               .Send("HTTP/1.0 204 No Content\r\nContent-Length: 0\r\n\r\n")
                               .Hold()});
    bool docBegun = false;
    cli.OnDocBegin = [&](THttpCli&) { docBegun = true; };
    Fetch(server.Url("/"));
    EXPECT_EQ(cli.StatusCode(), 204);
    EXPECT_EQ(cli.ContentLength(), 0);
    EXPECT_FALSE(docBegun);
    EXPECT_TRUE(body.empty());
    EXPECT_FALSE(cli.SocketOpen());
}

TEST_F(ExchangeTest, ContentLengthNeitherLimitsNorEndsTheBody) {
    ScriptedServer server({Script()
                               .ReadRequest()
                               .Send("HTTP/1.0 200 OK\r\nContent-Length:   5  \r\n\r\n0123456789")
                               .Wait(30ms)
                               .Send("abcdefghij")
                               .Close()});
    Fetch(server.Url("/"));
    EXPECT_EQ(cli.ContentLength(), 5);
    EXPECT_EQ(body, "0123456789abcdefghij");
}

TEST_F(ExchangeTest, PageWithoutHeadIsTakenAsHtmlBody) {
    ScriptedServer server({Script::Reply("<HtMl>\r\n<body>hi</body>\n</html>")});
    std::vector<std::string> headerLines;
    cli.OnHeaderData = [&](THttpCli&, const std::string& line) { headerLines.push_back(line); };
    Fetch(server.Url("/"));
    EXPECT_EQ(cli.StatusCode(), 0);
    EXPECT_EQ(cli.ContentType(), "text/html");
    EXPECT_EQ(body, "<HtMl><body>hi</body>\n</html>");
    EXPECT_TRUE(headerLines.empty());
    EXPECT_TRUE(cli.RcvdHeader().empty());
}

TEST_F(ExchangeTest, ErrorStatusClosesRightAfterTheHead) {
    std::string endless(1 << 20, 'e');
    ScriptedServer server({Script()
                               .ReadRequest()
                               .Send("HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n")
                               .Wait(50ms)
                               .Send(endless)
                               .Send(endless)
                               .Hold()});
    Fetch(server.Url("/missing"));
    EXPECT_EQ(cli.StatusCode(), 404);
    EXPECT_EQ(cli.ReasonPhrase(), "Not Found");
    EXPECT_FALSE(cli.FailedLocally());
    EXPECT_LT(body.size(), endless.size());
    // The server's hold ends because the client closed.
    server.WaitFinished();
}

TEST_F(ExchangeTest, StatusLinesCountAtAnyPositionAndFieldsAreKept) {
    ScriptedServer server(
        {Script::Reply("X-First: 1\r\n"
                       "HTTP/1.1 100 Continue\r\n"
                       "WWW-Authenticate: Basic realm=\"a\"\r\n"
                       "HTTP/1.0 503 Busy\r\n"
                       "NoColonLine\r\n"
                       "Content-Range: bytes 0-1/2\r\n"
                       "Accept-Ranges: bytes\r\n"
                       "\r\n"
                       "x")});
    Fetch(server.Url("/"));
    EXPECT_EQ(cli.StatusCode(), 503);
    EXPECT_EQ(cli.ReasonPhrase(), "Busy");
    EXPECT_EQ(cli.RcvdHeader().size(), 7u);
    EXPECT_EQ(cli.RcvdHeader()[4], "NoColonLine");
    EXPECT_EQ(cli.AuthChallenges(), std::vector<std::string>{"Basic realm=\"a\""});
    EXPECT_EQ(cli.ContentRange(), "bytes 0-1/2");
    EXPECT_EQ(cli.AcceptRanges(), "bytes");
}

TEST_F(ExchangeTest, HeaderLineMustFitTheReceiveBuffer) {
    // 8191 bytes and the LF fill the buffer exactly: accepted.
    std::string fits = "X-Long: " + std::string(kReceiveBufferBytes - 1 - 8, 'a') + "\n";
    ScriptedServer server({Script::Reply("HTTP/1.0 200 OK\r\n" + fits + "\r\nok"),
                           Script::Reply("HTTP/1.0 200 OK\r\nX-Long: " +
                                         std::string(kReceiveBufferBytes, 'b') + "\r\n\r\nno"),
                           Script().ReadRequest().Send(std::string(20000, 'c')).Hold()});
    Fetch(server.Url("/"));
    EXPECT_EQ(body, "ok");
    EXPECT_FALSE(cli.FailedLocally());

    body.clear();
    Fetch(server.Url("/"));
    EXPECT_TRUE(cli.FailedLocally());
    EXPECT_EQ(cli.StatusCode(), kLocalFailureStatus);
    EXPECT_EQ(cli.ReasonPhrase(), kHttpLineTooLong);
    EXPECT_TRUE(body.empty());

    // No line end at all: refused as soon as the buffer is full, not at the close.
    Fetch(server.Url("/"));
    EXPECT_EQ(cli.ReasonPhrase(), kHttpLineTooLong);
}

TEST_F(ExchangeTest, EndlessHeadIsRefused) {
    std::string lines;
    while (lines.size() <= kMaxReplyHeadBytes)
        lines += "X-Filler: 0123456789012345678901234567\r\n";
    ScriptedServer server({Script().ReadRequest().Send("HTTP/1.0 200 OK\r\n" + lines).Hold()});
    Fetch(server.Url("/"));
    EXPECT_EQ(cli.ReasonPhrase(), kHttpHeaderTooLarge);
}

TEST_F(ExchangeTest, BodyOverTheCapEndsAsFailure) {
    std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    ScriptedServer server(
        {Script().ReadRequest().Send(head + std::string(kMaxBodyBytes, 'z')).Send("!").Hold()});
    cli.SetRcvdStream(nullptr);
    bool docEnded = false;
    cli.OnDocEnd = [&](THttpCli&) { docEnded = true; };
    Fetch(server.Url("/"));
    EXPECT_TRUE(cli.FailedLocally());
    EXPECT_EQ(cli.StatusCode(), kLocalFailureStatus);
    EXPECT_EQ(cli.ReasonPhrase(), "HTTP reply body larger than 64 MiB");
    EXPECT_LE(cli.RcvdCount(), kMaxBodyBytes);
    EXPECT_FALSE(docEnded);
}

// No reply can follow a close, so the exchange fails at once instead of waiting out a time-out.
TEST_F(ExchangeTest, CloseBeforeTheHeadEndsFailsAtOnce) {
    for (const char* partial : {"", "HTTP/1.0 20", "HTTP/1.0 200 OK\r\nContent-Ty",
                                "HTTP/1.0 401 No\r\nWWW-Authenticate: Basic\r\n"}) {
        SCOPED_TRACE(partial);
        ScriptedServer server({Script().ReadRequest().Send(partial).Close()});
        Fetch(server.Url("/"));
        EXPECT_TRUE(cli.FailedLocally());
        EXPECT_EQ(cli.StatusCode(), kLocalFailureStatus);
        EXPECT_EQ(cli.ReasonPhrase(), "connection closed before the reply head ended");
    }
}

TEST_F(ExchangeTest, AbortDuringTheBodyEndsTheExchange) {
    ScriptedServer server(
        {Script().ReadRequest().Send("HTTP/1.0 200 OK\r\n\r\nfirst part").Hold()});
    cli.OnDocData = [](THttpCli& c, std::string_view) { c.Abort(); };
    Fetch(server.Url("/"));
    EXPECT_EQ(body, "first part");
    EXPECT_FALSE(cli.SocketOpen());
    server.WaitFinished();
}

TEST_F(ExchangeTest, RefusedConnectionGivesStatus404WithTheSocketError) {
    // A port that was free a moment ago and has no listener now.
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    ::close(fd);
    Fetch("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/");
    EXPECT_EQ(cli.StatusCode(), 404);
    EXPECT_EQ(cli.ReasonPhrase(), "Connection refused (Error #10061)");
    EXPECT_EQ(cli.LastSocketError(), 10061);
}

TEST_F(ExchangeTest, PortThatIsNotANumberFailsAtOnce) {
    Fetch("http://127.0.0.1:http/");
    EXPECT_EQ(cli.StatusCode(), 404);
    EXPECT_EQ(cli.ReasonPhrase(), "can't connect: Invalid argument (Error #10022)");
}

}  // namespace
}  // namespace kv::http::testing
