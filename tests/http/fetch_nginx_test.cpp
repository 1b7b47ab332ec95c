// FetchPage against a real nginx: static pages, a redirect chain, a 404, Basic auth with a
// quoted realm (prompted, then sent ahead of time, also after a restart when saved).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <thread>

#include "tests/http/fetch_fixture.h"
#include "tests/support/nginx_fixture.h"

namespace kv::http::testing {
namespace {

using kv::testing::NginxFixture;

const char* kServerConfig =
    "absolute_redirect off;\n"
    "location = /old { return 301 /older; }\n"
    "location = /older { return 301 http://127.0.0.1:@PORT@/new.html; }\n"
    "location /private/ {\n"
    "  auth_basic \"Members area\";\n"
    "  auth_basic_user_file @DIR@/htpasswd;\n"
    "}\n";

// One nginx for the whole suite: starting it per test would dominate the run time.
class FetchNginxTest : public FetchTest {
  protected:
    static void SetUpTestSuite() {
        nginx_ = new NginxFixture(kServerConfig);
        if (!nginx_->Running()) return;
        kv::testing::WriteFileBytes(nginx_->Dir() + "/htpasswd", "ann:{PLAIN}s3cret\n");
        nginx_->WriteDoc("new.html", "<html><head><title>New</title></head></html>");
        nginx_->WriteDoc("index.html", "<html><body>Index of Kelvane</body></html>");
        nginx_->WriteDoc("private/page.html", "<html>members only</html>");
        nginx_->WriteDoc("picture.png", "\x89PNG\r\n");
    }
    static void TearDownTestSuite() {
        delete nginx_;
        nginx_ = nullptr;
    }
    void SetUp() override {
        if (!nginx_->Running()) GTEST_SKIP() << nginx_->Problem();
        FetchTest::SetUp();
    }

    // The access log lines that name this path, once there are `count` of them (nginx logs a
    // request after its reply went out, so the client may have it first) or 2 s have passed.
    static std::vector<std::string> LogOf(const std::string& path, std::size_t count) {
        std::vector<std::string> lines;
        for (int wait = 0; wait < 400 && lines.size() < count; ++wait) {
            if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            lines = LinesOf(path);
        }
        return lines;
    }
    static std::vector<std::string> LinesOf(const std::string& path) {
        std::vector<std::string> lines;
        std::string log = nginx_->AccessLog();
        for (std::size_t at = 0; at < log.size();) {
            std::size_t end = log.find('\n', at);
            std::string line = log.substr(at, end - at);
            if (line.find("GET " + path + " ") == 0) lines.push_back(line);
            at = end == std::string::npos ? log.size() : end + 1;
        }
        return lines;
    }

    static NginxFixture* nginx_;
};

NginxFixture* FetchNginxTest::nginx_ = nullptr;

TEST_F(FetchNginxTest, StaticPagesRedirectChainAndNotFound) {
    std::string url = nginx_->Url("/index.html");
    std::string page;
    unit->FetchPage(url, "index of kelvane", "", page);
    EXPECT_EQ(page, "<html><body>Index of Kelvane</body></html>");

    url = nginx_->Url("/old");
    unit->FetchPage(url, "<title>new</title>", "", page);
    EXPECT_EQ(url, nginx_->Url("/new.html"));
    EXPECT_EQ(page, "<html><head><title>New</title></head></html>");

    std::string picture = nginx_->Url("/picture.png");
    page = "kept";
    unit->FetchPage(picture, "", "", page);
    EXPECT_EQ(page, "kept");

    const std::string missing = nginx_->Url("/missing.html");
    EXPECT_EQ(FailureOf(missing), "Connection error: 404 Not Found. " + Details(missing));
}

TEST_F(FetchNginxTest, BasicAuthIsPromptedThenSentAheadAndSavedPairsSurviveARestart) {
    dialog.user = "ann";
    dialog.password = "s3cret";
    dialog.save = true;
    std::string url = nginx_->Url("/private/page.html");
    std::string page;
    unit->FetchPage(url, "members only", "", page);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].realm, "\"Members area\"");
    EXPECT_EQ(dialog.shown[0].caption, "Server:");
    const std::string basic = "Basic YW5uOnMzY3JldA==";  // ann:s3cret
    auto log = LogOf("/private/page.html", 2);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "GET /private/page.html HTTP/1.1|-|-|-");
    EXPECT_EQ(log[1], "GET /private/page.html HTTP/1.1|" + basic + "|-|-");

    // The next request of the run carries the pair ahead of time.
    url = nginx_->Url("/private/page.html");
    unit->FetchPage(url, "members only", "", page);
    log = LogOf("/private/page.html", 3);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], "GET /private/page.html HTTP/1.1|" + basic + "|-|-");

    // The credential file is the user's alone.
    struct stat st {};
    ASSERT_EQ(stat(folder.File("kelvane.auth").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // After a restart the saved pair goes with the first request, without a prompt.
    Start();
    url = nginx_->Url("/private/page.html");
    unit->FetchPage(url, "members only", "", page);
    EXPECT_EQ(dialog.shown.size(), 1u);
    log = LogOf("/private/page.html", 4);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[3], "GET /private/page.html HTTP/1.1|" + basic + "|-|-");
}

TEST_F(FetchNginxTest, SettingsCredentialsAnswerTheFirstChallengeThenGoAhead) {
    unit->Settings().UseAuth = 1;
    unit->Settings().Username = "ann";
    unit->Settings().Password = "s3cret";
    std::string url = nginx_->Url("/index.html?before");
    std::string page;
    unit->FetchPage(url, "", "", page);  // this host has not asked: nothing goes out
    url = nginx_->Url("/private/page.html?first");
    unit->FetchPage(url, "members only", "", page);
    url = nginx_->Url("/index.html?after");
    unit->FetchPage(url, "", "", page);
    EXPECT_TRUE(dialog.shown.empty());
    const std::string basic = "Basic YW5uOnMzY3JldA==";
    EXPECT_EQ(LogOf("/index.html?before", 1),
              std::vector<std::string>{"GET /index.html?before HTTP/1.1|-|-|-"});
    EXPECT_EQ(
        LogOf("/private/page.html?first", 2),
        (std::vector<std::string>{"GET /private/page.html?first HTTP/1.1|-|-|-",
                                  "GET /private/page.html?first HTTP/1.1|" + basic + "|-|-"}));
    EXPECT_EQ(LogOf("/index.html?after", 1),
              std::vector<std::string>{"GET /index.html?after HTTP/1.1|" + basic + "|-|-"});
}

TEST_F(FetchNginxTest, CanceledPromptIsAConnectionError) {
    dialog.answer = kAuthCanceled;
    const std::string url = nginx_->Url("/private/other.html");
    EXPECT_EQ(FailureOf(url), "Connection error: 401 Unauthorized. " + Details(url));
    EXPECT_EQ(dialog.shown.size(), 1u);
}

}  // namespace
}  // namespace kv::http::testing
