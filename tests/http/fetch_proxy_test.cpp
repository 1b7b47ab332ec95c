// FetchPage through a real tinyproxy (ConnectType 2) to a real nginx, with and without the
// proxy asking for credentials (407).
#include <gtest/gtest.h>

#include <string>

#include "tests/http/fetch_fixture.h"
#include "tests/support/nginx_fixture.h"
#include "tests/support/tinyproxy_fixture.h"

namespace kv::http::testing {
namespace {

using kv::testing::NginxFixture;
using kv::testing::TinyproxyFixture;

class FetchProxyTest : public FetchTest {
  protected:
    void SetUp() override {
        if (!nginx.Running()) GTEST_SKIP() << nginx.Problem();
        nginx.WriteDoc("page.html", "<html><meta name=keywords content=\"a, b\"></html>");
        FetchTest::SetUp();
    }

    void UseProxy(const TinyproxyFixture& proxy) {
        ConnectionSettings& s = unit->Settings();
        s.ConnectType = kConnectProxy;
        s.Proxy = "127.0.0.1";
        s.ProxyPort = proxy.Port();
        s.timeout = 2;
    }

    NginxFixture nginx;
};

TEST_F(FetchProxyTest, FetchGoesThroughTheProxyWithTheAbsoluteAddress) {
    TinyproxyFixture proxy;
    if (!proxy.Running()) GTEST_SKIP() << proxy.Problem();
    UseProxy(proxy);
    std::string url = nginx.Url("/page.html");
    std::string page;
    unit->FetchPage(url, "keywords", "", page);
    EXPECT_EQ(page, "<html><meta name=keywords content=\"a, b\"></html>");
    EXPECT_NE(proxy.Log().find("GET " + url + " HTTP/1.1"), std::string::npos) << proxy.Log();
    // nginx saw the request come from the proxy.
    EXPECT_TRUE(nginx.WaitForLog("tinyproxy")) << nginx.AccessLog();
}

TEST_F(FetchProxyTest, ProxyChallengeIsAnsweredThroughThePrompt) {
    TinyproxyFixture proxy("pat", "pw9");
    if (!proxy.Running()) GTEST_SKIP() << proxy.Problem();
    UseProxy(proxy);
    dialog.user = "pat";
    dialog.password = "pw9";
    std::string url = nginx.Url("/page.html");
    std::string page;
    unit->FetchPage(url, "keywords", "", page);
    EXPECT_EQ(page, "<html><meta name=keywords content=\"a, b\"></html>");
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].caption, "Firewall:");
    EXPECT_EQ(dialog.shown[0].site, "127.0.0.1");

    // Asked once per run: the next fetch sends the pair ahead of time.
    unit->FetchPage(url, "keywords", "", page);
    EXPECT_EQ(dialog.shown.size(), 1u);
}

TEST_F(FetchProxyTest, CanceledProxyPromptIsAConnectionError) {
    TinyproxyFixture proxy("pat", "pw9");
    if (!proxy.Running()) GTEST_SKIP() << proxy.Problem();
    UseProxy(proxy);
    dialog.answer = kAuthCanceled;
    const std::string url = nginx.Url("/page.html");
    const std::string failure = FailureOf(url);
    EXPECT_EQ(failure.rfind("Connection error: 407 ", 0), 0u) << failure;
    EXPECT_NE(failure.find(Details(url)), std::string::npos);
}

}  // namespace
}  // namespace kv::http::testing
