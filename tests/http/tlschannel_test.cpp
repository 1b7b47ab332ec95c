// The TLS channel against a server of the same library on memory buffers: plaintext flows
// both ways, and records a server garbles or sends in the clear after the handshake end the
// connection with a reason; after the server's close, nothing more is read.
#include "http/tlschannel.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <memory>
#include <string>

#include "http/httperror.h"
#include "tests/support/testcerts.h"

namespace kv::http {
namespace {

using kv::testing::TestCertificates;

// The server's side of one connection, with the test certificate for localhost.
class MemoryServer {
  public:
    explicit MemoryServer(const TestCertificates& certs) {
        context_ = SSL_CTX_new(TLS_server_method());
        SSL_CTX_use_certificate_chain_file(context_, certs.Cert("good").c_str());
        SSL_CTX_use_PrivateKey_file(context_, certs.Key("good").c_str(), SSL_FILETYPE_PEM);
        ssl_ = SSL_new(context_);
        SSL_set_bio(ssl_, BIO_new(BIO_s_mem()), BIO_new(BIO_s_mem()));
        SSL_set_accept_state(ssl_);
    }
    ~MemoryServer() {
        SSL_free(ssl_);
        SSL_CTX_free(context_);
    }

    // The server's answer to the client's bytes.
    std::string Answer(const std::string& fromClient) {
        BIO_write(SSL_get_rbio(ssl_), fromClient.data(), static_cast<int>(fromClient.size()));
        char buffer[4096];
        if (SSL_is_init_finished(ssl_) == 0) SSL_do_handshake(ssl_);
        while (SSL_read(ssl_, buffer, sizeof buffer) > 0) {
        }
        return Drain();
    }
    std::string Send(const std::string& plain) {
        SSL_write(ssl_, plain.data(), static_cast<int>(plain.size()));
        return Drain();
    }
    std::string Close() {
        SSL_shutdown(ssl_);
        return Drain();
    }

  private:
    std::string Drain() {
        BIO* out = SSL_get_wbio(ssl_);
        std::string bytes(static_cast<std::size_t>(BIO_ctrl_pending(out)), '\0');
        if (!bytes.empty()) BIO_read(out, bytes.data(), static_cast<int>(bytes.size()));
        return bytes;
    }

    SSL_CTX* context_ = nullptr;
    SSL* ssl_ = nullptr;
};

// A client that finished its handshake with the server (and took its session tickets).
std::unique_ptr<TlsChannel> Connect(MemoryServer& server, const TestCertificates& certs) {
    auto client = std::make_unique<TlsChannel>(certs.CaFile(), "localhost", "localhost:443");
    for (int step = 0; step < 10 && !client->Established(); ++step) {
        EXPECT_EQ(client->Receive(server.Answer(client->TakeOutgoing())), "");
    }
    EXPECT_EQ(client->Receive(server.Answer(client->TakeOutgoing())), "");
    return client;
}

std::string FailureOf(TlsChannel& client, const std::string& bytes) {
    try {
        client.Receive(bytes);
    } catch (const HttpError& error) {
        return error.what();
    }
    return "no failure";
}

TEST(TlsChannelTest, PlaintextFlowsAndAGarbledOrClearRecordEndsTheConnection) {
    TestCertificates certs;
    if (!certs.Made()) GTEST_SKIP() << certs.Problem();
    const auto flipped = [](std::string record) {
        record.back() = static_cast<char>(record.back() ^ 1);
        return record;
    };
    for (const bool garble : {false, true}) {
        MemoryServer server(certs);
        auto client = Connect(server, certs);
        ASSERT_TRUE(client->Established());
        client->Send("GET / HTTP/1.1\r\n\r\n");
        server.Answer(client->TakeOutgoing());
        EXPECT_EQ(client->Receive(server.Send("HTTP/1.1 200 OK\r\n")), "HTTP/1.1 200 OK\r\n");
        const std::string bad = garble ? flipped(server.Send("body")) : "HTTP/1.1 200 OK\r\n\r\n";
        const std::string failure = FailureOf(*client, bad);
        EXPECT_EQ(failure.rfind("TLS: the connection with localhost failed (", 0), 0u) << failure;
    }
    // After the server's close, later bytes are not read.
    MemoryServer server(certs);
    auto client = Connect(server, certs);
    const std::string body = server.Send("last words");
    EXPECT_EQ(client->Receive(body + server.Close()), "last words");
    EXPECT_EQ(client->Receive("anything at all"), "");
}

}  // namespace
}  // namespace kv::http
