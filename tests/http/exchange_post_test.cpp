// HTTP/1.1 on the wire: a form POST byte for byte, what redirects do to it, chunked and
// compressed replies, a reply ended by its length while the server holds on, a bomb.
#include "tests/http/compress.h"
#include "tests/http/exchange_fixture.h"

namespace kv::http::testing {
namespace {

std::string Reply(const std::string& head, const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n" + head + "\r\n" + body;
}

TEST_F(ExchangeTest, PostSendsTheFormBodyAfterItsHead) {
    ScriptedServer server({Script::Reply(Reply("", "found"))});
    cli.SetAccept("*/*");
    cli.SetAgent("");
    cli.SetPostBody("q=red+shoes&b=");
    Fetch(server.Url("/html/"));
    EXPECT_EQ(server.Request(0),
              "POST /html/ HTTP/1.1\r\n"
              "Accept: */*\r\n"
              "Host: " +
                  server.HostPort() + "\r\n" + kHeadTail +
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: 14\r\n"
                  "\r\n"
                  "q=red+shoes&b=");
    EXPECT_EQ(body, "found");
}

TEST_F(ExchangeTest, RedirectsAfterAPostContinueAsGetExcept307And308) {
    struct Case {
        int status;
        const char* location;  // "/form" is the address posted to
        const char* nextLine;
        bool bodyAgain;
    } cases[] = {
        {301, "/moved", "GET /moved HTTP/1.1", false},
        {302, "/found", "GET /found HTTP/1.1", false},
        {303, "/form", "GET /form HTTP/1.1", false},  // same address, now fetched
        {307, "/again", "POST /again HTTP/1.1", true},
        {308, "/perm", "POST /perm HTTP/1.1", true},
    };
    for (const Case& c : cases) {
        ScriptedServer server(
            {Script::Reply("HTTP/1.1 " + std::to_string(c.status) +
                           " Moved\r\nLocation: " + c.location + "\r\nContent-Length: 0\r\n\r\n"),
             Script::Reply(Reply("", "result"))});
        cli.SetPostBody("a=1");
        body.clear();
        Fetch(server.Url("/form"));
        const std::string second = server.Request(1);
        EXPECT_EQ(second.substr(0, second.find('\r')), c.nextLine) << c.status;
        EXPECT_EQ(second.ends_with("\r\n\r\na=1"), c.bodyAgain) << c.status;
        EXPECT_EQ(body, "result") << c.status;
    }
}

TEST_F(ExchangeTest, ChunkedAndCompressedRepliesArriveDecoded) {
    const std::string page = "<html><meta name=keywords content=\"red, shoes\"></html>";
    const std::string gzip = Compress(page, Wrap::Gzip);
    char size[16];
    std::snprintf(size, sizeof size, "%zX", gzip.size());
    ScriptedServer server(
        {Script::Reply(Reply("Transfer-Encoding: chunked\r\n",
                             "5\r\n<html\r\n1;ext=1\r\n>\r\n0\r\nX-Trailer: 1\r\n\r\n")),
         Script::Reply(Reply("Content-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n",
                             std::string(size) + "\r\n" + gzip + "\r\n0\r\n\r\n")),
         Script::Reply(Reply("Content-Encoding: deflate\r\n", Compress(page, Wrap::Raw))),
         // A transfer coding before chunked is decoded as a content coding would be.
         Script::Reply(Reply("Transfer-Encoding: gzip, chunked\r\n",
                             std::string(size) + "\r\n" + gzip + "\r\n0\r\n\r\n")),
         // An HTTP/1.1 length ends the reply although the server keeps the connection.
         Script().ReadRequest().Send(Reply("Content-Length: 4\r\n", "done")).Hold(),
         Script::Reply("HTTP/1.1 100 Continue\r\n\r\n" + Reply("", "after interim"))});
    const std::string expected[] = {"<html>", page, page, page, "done", "after interim"};
    for (const std::string& want : expected) {
        body.clear();
        Fetch(server.Url("/"));
        EXPECT_EQ(cli.StatusCode(), 200);
        EXPECT_EQ(body, want);
    }
}

TEST_F(ExchangeTest, BadBodiesEndAsFailuresWithTheirReason) {
    struct Case {
        std::string reply;
        std::string reason;
    } cases[] = {
        {Reply("Transfer-Encoding: chunked\r\n", "12345678901234567\r\nx"),
         "malformed chunked reply body: chunk size too large"},
        {Reply("Transfer-Encoding: chunked\r\n", "3\r\nabc\r\n"), "HTTP reply body cut short"},
        {Reply("Content-Encoding: gzip\r\n",
               Compress(std::string(9000, 'a'), Wrap::Gzip).substr(0, 20)),
         "HTTP reply body cut short"},
        {Reply("Content-Encoding: br\r\n", "xx"), "unsupported content encoding br"},
        {Reply("Content-Encoding: gzip\r\nTransfer-Encoding: deflate, chunked\r\n", "0\r\n\r\n"),
         "unsupported content encoding gzip, deflate"},
        {Reply("Content-Encoding: gzip\r\n", GibibyteBomb()), "HTTP reply body larger than 64 MiB"},
    };
    for (const Case& c : cases) {
        ScriptedServer server({Script::Reply(c.reply)});
        Fetch(server.Url("/"));
        EXPECT_TRUE(cli.FailedLocally()) << c.reason;
        EXPECT_EQ(cli.ReasonPhrase(), c.reason);
    }
}

TEST_F(ExchangeTest, HttpsThroughAProxyAsksForATunnelFirst) {
    ScriptedServer proxy(
        {Script::Reply("HTTP/1.1 403 Forbidden\r\nContent-Type: text/html\r\nContent-Length: "
                       "0\r\n\r\n")});
    cli.SetAgent("Agent/2");
    cli.SetProxy(proxy.HostPort());
    cli.SetProxyUsername("pu");
    cli.SetProxyPassword("pp");
    cli.SetUsername("never-to-the-proxy");
    Fetch("https://secure.example.test/x?y");
    EXPECT_EQ(proxy.Request(0),
              "CONNECT secure.example.test:443 HTTP/1.1\r\n"
              "Host: secure.example.test:443\r\n"
              "User-Agent: Agent/2\r\n"
              "Proxy-Authorization: Basic cHU6cHA=\r\n"
              "\r\n");
    // The refusal is the reply.
    EXPECT_EQ(cli.StatusCode(), 403);
    EXPECT_FALSE(cli.FailedLocally());
}

}  // namespace
}  // namespace kv::http::testing
