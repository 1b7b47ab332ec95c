// kelvane-demo-engine as a process on a free port: what goes over the wire, bad requests,
// options, latency and a clean end on signals.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpSocket>
#include <csignal>

#include "tests/support/demoprocess.h"
#include "tools/demoengine/sites.h"

namespace kv::testing {
namespace {

bool HasKeywordsMeta(const std::string& page) {
    return page.find("<meta name=\"keywords\" content=\"") != std::string::npos ||
           page.find("<META NAME=\"Keywords\" CONTENT=\"") != std::string::npos;
}

int RunToEnd(const QStringList& arguments, std::string* errors = nullptr) {
    QProcess process;
    process.start(QString::fromStdString(DemoEnginePath()), arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (errors) *errors = process.readAllStandardError().toStdString();
    return process.exitCode();
}

TEST(DemoServer, AnswersHttp10WithLengthAndContentType) {
    DemoEngine engine;
    const RawReply index = Get(engine.Port(), "/");
    EXPECT_EQ(index.statusLine, "HTTP/1.0 200 OK");
    EXPECT_EQ(index.headers.at("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(index.headers.at("content-length"), std::to_string(index.body.size()));
    EXPECT_EQ(index.headers.at("connection"), "close");

    const RawReply results = Get(engine.Port(), "/google/search?q=red+shoes&hl=en");
    EXPECT_EQ(results.status, 200);
    EXPECT_NE(results.body.find(":" + std::to_string(engine.Port()) + "/site/"), std::string::npos)
        << "results point back to this server";
    EXPECT_NE(results.body.find("<a id=\"pnnext\" href=\"/google/search?q=red+shoes&amp;start=10"),
              std::string::npos);

    const RawReply absolute = Exchange(
        engine.Port(), "GET http://" + engine.Host() + "/teoma/web?q=red+shoes HTTP/1.0\r\n\r\n");
    EXPECT_EQ(absolute.status, 200) << "a request through a proxy names the whole address";
}

TEST(DemoServer, ServesTheAwkwardSites) {
    DemoEngine engine({"--slow", "200"});
    const std::string site = "http://" + engine.Host() + "/site/";
    const RawReply image = Get(engine.Port(), "/site/01/red-shoes.png");
    EXPECT_EQ(image.status, 200);
    EXPECT_EQ(image.headers.at("content-type"), "image/png");
    EXPECT_TRUE(image.body.starts_with("\x89PNG\r\n"));

    const RawReply moved = Get(engine.Port(), "/site/02/red-shoes.html");
    EXPECT_EQ(moved.statusLine, "HTTP/1.0 301 Moved Permanently");
    // A site moves within its own host.
    EXPECT_EQ(moved.headers.at("location"),
              "http://" + demo::SiteHost(engine.Host(), 2, demo::kMaxSiteHosts) +
                  "/site/02/new/red-shoes.html");
    EXPECT_TRUE(moved.headers.at("content-type").starts_with("text/html"));
    EXPECT_TRUE(HasKeywordsMeta(GetAddress(engine.Port(), moved.headers.at("location")).body));

    const RawReply found = Get(engine.Port(), "/site/03/red-shoes.html");
    EXPECT_EQ(found.statusLine, "HTTP/1.0 302 Found");
    EXPECT_EQ(found.headers.at("location"), "/site/03/new/red-shoes.html");
    EXPECT_TRUE(HasKeywordsMeta(Get(engine.Port(), found.headers.at("location")).body));

    EXPECT_EQ(Get(engine.Port(), "/site/04/red-shoes.html").statusLine, "HTTP/1.0 404 Not Found");

    const RawReply slow = Get(engine.Port(), "/site/05/red-shoes.html");
    EXPECT_EQ(slow.status, 200);
    EXPECT_TRUE(HasKeywordsMeta(slow.body));

    const RawReply plain = Get(engine.Port(), "/site/23/red-shoes.html");
    EXPECT_TRUE(HasKeywordsMeta(plain.body));
    EXPECT_NE(plain.body.find("red shoes"), std::string::npos);
    const RawReply dynamic = Get(engine.Port(), "/site/24/show.php?topic=red-shoes&id=24");
    EXPECT_TRUE(HasKeywordsMeta(dynamic.body));
}

TEST(DemoServer, BadRequestsGet400AndTheServerCarriesOn) {
    DemoEngine engine;
    const std::string bad[] = {
        "\r\n\r\n",
        "HELLO\r\n\r\n",
        "GET /\r\n\r\n",
        "GET / HTTP/9.9\r\n\r\n",
        std::string("\0\xFF\xFE garbage\n\n", 13),
        "GET " + std::string(20000, 'a') + " HTTP/1.0\r\n\r\n",
        std::string(20000, 'x'),
    };
    for (const std::string& bytes : bad) {
        EXPECT_EQ(Exchange(engine.Port(), bytes).statusLine, "HTTP/1.0 400 Bad Request")
            << bytes.substr(0, 40);
    }
    EXPECT_EQ(Exchange(engine.Port(), "PUT / HTTP/1.0\r\nContent-Length: 3\r\n\r\nabc").status,
              501);
    {
        // Clients that go away early, before or in the middle of their head.
        QTcpSocket early;
        early.connectToHost(QHostAddress::LocalHost, engine.Port());
        ASSERT_TRUE(early.waitForConnected(10000));
        early.abort();
        QTcpSocket half;
        half.connectToHost(QHostAddress::LocalHost, engine.Port());
        ASSERT_TRUE(half.waitForConnected(10000));
        half.write("GET /google/search?q=x HTTP/1.0\r\nHo");
        half.waitForBytesWritten(10000);
        half.abort();
    }
    EXPECT_EQ(Exchange(engine.Port(), "GET / HTTP/1.0\r\n", true).status, 400)
        << "a head cut short by the client's close";
    EXPECT_EQ(Exchange(engine.Port(), "GET / HTTP/1.0\r\n\r\n", true).status, 200)
        << "a client that half-closes after its request still gets the answer";
    EXPECT_EQ(Get(engine.Port(), "/").status, 200);
    EXPECT_EQ(engine.Stop(), 0);
}

TEST(DemoServer, OneSlowAnswerHoldsNoOtherBack) {
    DemoEngine engine({"--slow", "60000"});
    QTcpSocket slow;
    slow.connectToHost(QHostAddress::LocalHost, engine.Port());
    ASSERT_TRUE(slow.waitForConnected(10000));
    slow.write("GET /site/05/red-shoes.html HTTP/1.0\r\n\r\n");
    slow.waitForBytesWritten(10000);
    EXPECT_EQ(Get(engine.Port(), "/site/23/red-shoes.html").status, 200);
    EXPECT_EQ(slow.bytesAvailable(), 0);
    slow.abort();
    EXPECT_EQ(engine.Stop(), 0) << "ends while an answer is still waiting";
}

TEST(DemoServer, LatencyDelaysEveryAnswer) {
    constexpr int kLatencyMs = 300;
    DemoEngine engine({"--latency", QString::number(kLatencyMs)});
    for (const char* target : {"/", "/site/04/red-shoes.html", "/msn/results.aspx?q=a"}) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_NE(Get(engine.Port(), target).status, 0);
        // Only a lower bound: a busy machine may take longer, never shorter.
        EXPECT_GE(timer.elapsed(), kLatencyMs) << target;
    }
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(Exchange(engine.Port(), "BAD\r\n\r\n").status, 400);
    EXPECT_GE(timer.elapsed(), kLatencyMs);
}

TEST(DemoServer, EndsCleanlyOnSigintAndSigterm) {
    DemoEngine terminated;
    EXPECT_EQ(terminated.Stop(), 0);
    DemoEngine interrupted;
    ASSERT_EQ(::kill(static_cast<pid_t>(interrupted.Pid()), SIGINT), 0);
    EXPECT_EQ(interrupted.WaitForExit(), 0);
}

TEST(DemoServer, RefusesBadOptionsAndATakenPort) {
    for (const QStringList& arguments :
         {QStringList{"--port", "abc"}, QStringList{"--port", "70000"}, QStringList{"--latency"},
          QStringList{"--latency", "-5"}, QStringList{"--frobnicate", "1"}}) {
        EXPECT_EQ(RunToEnd(arguments), 2) << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(RunToEnd({"--help"}), 0);
    DemoEngine engine;
    std::string errors;
    EXPECT_EQ(RunToEnd({"--port=" + QString::number(engine.Port())}, &errors), 1);
    EXPECT_NE(errors.find("Cannot listen on 127.0.0.1:" + std::to_string(engine.Port())),
              std::string::npos)
        << errors;
}

}  // namespace
}  // namespace kv::testing
