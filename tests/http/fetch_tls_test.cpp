// FetchPage over https against a real nginx with certificates made at test time: the CA-file
// setting, each certificate fault's message, redirects across schemes, and a CONNECT tunnel
// through a real tinyproxy (with and without its credentials).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/http/fetch_fixture.h"
#include "tests/support/nginx_fixture.h"
#include "tests/support/scripted_server.h"
#include "tests/support/testcerts.h"
#include "tests/support/tinyproxy_fixture.h"

namespace kv::http::testing {
namespace {

using kv::testing::NginxFixture;
using kv::testing::Script;
using kv::testing::ScriptedServer;
using kv::testing::TestCertificates;
using kv::testing::TinyproxyFixture;

const char* kPage = "<html><meta name=keywords content=\"secure, page\"></html>";

class FetchTlsTest : public FetchTest {
  protected:
    static void SetUpTestSuite() { certs_ = new TestCertificates(); }
    static void TearDownTestSuite() {
        delete certs_;
        certs_ = nullptr;
    }
    void SetUp() override {
        if (!certs_->Made()) GTEST_SKIP() << certs_->Problem();
        FetchTest::SetUp();
        unit->Settings().CAFile = certs_->CaFile();
    }

    // An nginx serving /page.html over TLS with that certificate.
    std::unique_ptr<NginxFixture> TlsServer(const std::string& kind,
                                            const std::string& extra = "") {
        auto nginx = std::make_unique<NginxFixture>(certs_->NginxTls(kind) + extra, "ssl");
        if (nginx->Running()) nginx->WriteDoc("page.html", kPage);
        return nginx;
    }
    static std::string HttpsUrl(const NginxFixture& nginx, const std::string& path) {
        return "https://localhost:" + std::to_string(nginx.Port()) + path;
    }

    static TestCertificates* certs_;
};

TestCertificates* FetchTlsTest::certs_ = nullptr;

TEST_F(FetchTlsTest, GoodCertificateThroughTheCaFileAndRedirectsAcrossSchemes) {
    NginxFixture plain;
    ASSERT_TRUE(plain.Running()) << plain.Problem();
    plain.WriteDoc("plain.html", "<html>plain page</html>");
    auto nginx = TlsServer(
        "good", "location = /to-plain { return 302 " + plain.Url("/plain.html") + "; }\n");
    ASSERT_TRUE(nginx->Running()) << nginx->Problem();

    std::string url = HttpsUrl(*nginx, "/page.html");
    std::string page;
    unit->FetchPage(url, "secure", "", page);
    EXPECT_EQ(page, kPage);

    // Without a CA file, the system's store decides: here the one the environment names.
    unit->Settings().CAFile.clear();
    setenv("SSL_CERT_FILE", certs_->CaFile().c_str(), 1);
    url = HttpsUrl(*nginx, "/page.html");
    unit->FetchPage(url, "secure", "", page);
    unsetenv("SSL_CERT_FILE");
    EXPECT_EQ(page, kPage);
    unit->Settings().CAFile = certs_->CaFile();

    url = HttpsUrl(*nginx, "/to-plain");
    unit->FetchPage(url, "plain page", "", page);
    EXPECT_EQ(url, plain.Url("/plain.html"));

    const std::string secure = HttpsUrl(*nginx, "/page.html");
    ScriptedServer upgrade({Script::Reply("HTTP/1.1 301 Moved\r\nLocation: " + secure +
                                          "\r\nContent-Type: text/html\r\n\r\n")});
    url = upgrade.Url("/");
    unit->FetchPage(url, "secure", "", page);
    EXPECT_EQ(url, secure);
}

TEST_F(FetchTlsTest, ALaterConnectionToTheSameServerResumesTheSession) {
    // TLS 1.2 gives the session in the handshake, TLS 1.3 in tickets after it.
    for (const std::string protocol : {"TLSv1.2", "TLSv1.3"}) {
        auto nginx = TlsServer("good", "ssl_protocols " + protocol +
                                           ";\nlocation = /reused { default_type text/html; "
                                           "return 200 \"reused=$ssl_session_reused\"; }\n");
        ASSERT_TRUE(nginx->Running()) << nginx->Problem();
        std::string pages[3];
        for (std::string& page : pages) {
            std::string url = HttpsUrl(*nginx, "/reused");
            unit->FetchPage(url, "reused", "", page);
        }
        EXPECT_EQ(pages[0], "reused=.") << protocol;
        EXPECT_EQ(pages[1], "reused=r") << protocol;
        EXPECT_EQ(pages[2], "reused=r") << protocol;
    }
}

TEST_F(FetchTlsTest, EachFaultIsAConnectionErrorNamingTheHost) {
    const std::string notPem = folder.File("not-a-ca.pem");
    kv::testing::WriteFileBytes(notPem, "not a certificate\n");
    struct Case {
        const char* kind;
        std::string caFile;
        std::string reason;
    } cases[] = {
        {"good", "", "TLS: the certificate of localhost is issued by an unknown authority"},
        {"expired", certs_->CaFile(), "TLS: the certificate of localhost has expired"},
        {"future", certs_->CaFile(), "TLS: the certificate of localhost is not yet valid"},
        {"othername", certs_->CaFile(),
         "TLS: the certificate presented is not valid for the host name localhost"},
        {"selfsigned", certs_->CaFile(),
         "TLS: the certificate of localhost is self-signed and not trusted"},
        {"good", notPem, "TLS: no CA certificate could be read from " + notPem},
    };
    for (const Case& c : cases) {
        auto nginx = TlsServer(c.kind);
        ASSERT_TRUE(nginx->Running()) << nginx->Problem();
        unit->Settings().CAFile = c.caFile;
        const std::string url = HttpsUrl(*nginx, "/page.html");
        EXPECT_EQ(FailureOf(url), "Connection error: 404 " + c.reason + ". " + Details(url))
            << c.kind;
    }
    // An address is checked against the certificate's addresses, which hold none here.
    auto nginx = TlsServer("good");
    ASSERT_TRUE(nginx->Running()) << nginx->Problem();
    unit->Settings().CAFile = certs_->CaFile();
    const std::string byAddress = "https://127.0.0.1:" + std::to_string(nginx->Port()) + "/";
    EXPECT_EQ(FailureOf(byAddress),
              "Connection error: 404 TLS: the certificate presented is not valid for the host "
              "name 127.0.0.1. " +
                  Details(byAddress));
    // A plain-text server on the https port: the handshake fails, with the host named.
    NginxFixture plain;
    ASSERT_TRUE(plain.Running()) << plain.Problem();
    unit->Settings().CAFile = certs_->CaFile();
    const std::string url = HttpsUrl(plain, "/");
    const std::string failure = FailureOf(url);
    EXPECT_EQ(failure.rfind("Connection error: 404 TLS: handshake with localhost failed", 0), 0u)
        << failure;
}

TEST_F(FetchTlsTest, TunnelThroughTheProxyWithAndWithoutItsCredentials) {
    auto nginx = TlsServer("good");
    ASSERT_TRUE(nginx->Running()) << nginx->Problem();
    for (const bool withAuth : {false, true}) {
        TinyproxyFixture proxy(withAuth ? "pat" : "", withAuth ? "pw9" : "");
        if (!proxy.Running()) GTEST_SKIP() << proxy.Problem();
        ConnectionSettings& s = unit->Settings();
        s.ConnectType = kConnectProxy;
        s.Proxy = "127.0.0.1";
        s.ProxyPort = proxy.Port();
        s.timeout = 3;
        dialog.user = "pat";
        dialog.password = "pw9";
        dialog.shown.clear();
        std::string url = HttpsUrl(*nginx, "/page.html");
        std::string page;
        unit->FetchPage(url, "secure", "", page);
        EXPECT_EQ(page, kPage);
        EXPECT_NE(proxy.Log().find("CONNECT localhost:" + std::to_string(nginx->Port())),
                  std::string::npos)
            << proxy.Log();
        EXPECT_EQ(dialog.shown.size(), withAuth ? 1u : 0u);
        if (withAuth) {
            EXPECT_EQ(dialog.shown[0].caption, "Firewall:");
        }
        // The pair is known now: the next tunnel is asked for with it, without a prompt.
        unit->FetchPage(url, "secure", "", page);
        EXPECT_EQ(dialog.shown.size(), withAuth ? 1u : 0u);
    }
}

}  // namespace
}  // namespace kv::http::testing
