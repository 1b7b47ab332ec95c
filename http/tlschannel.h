// TLS over bytes the caller carries: the client's side of one connection, verified against
// the host's name, resuming the session the peer gave before. The caller writes what
// TakeOutgoing() returns to the socket after every call, and hands every received byte to
// Receive(), which yields the plaintext once the handshake is done.
// Tests: tests/http/fetch_tls_test.cpp (against nginx); bench/http/transport_bench.cpp.
#pragma once

#include <openssl/types.h>

#include <memory>
#include <string>
#include <string_view>

namespace kv::http {

class TlsContext;

class TlsChannel {
  public:
    // Received bytes handed over this many at a time keep every buffer small.
    static constexpr std::size_t kPiece = 32 * 1024;

    // Starts the handshake with `host` (a name or an address) at `peer` ("host:port"),
    // with the CA file's context. Throws HttpError when the CA file cannot be read.
    TlsChannel(const std::string& caFile, const std::string& host, const std::string& peer);
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // The plaintext the received bytes complete ("" while the handshake runs). Throws
    // HttpError with the reason when the handshake or the connection fails.
    std::string Receive(std::string_view bytes);
    bool Established() const { return established_; }
    // Encrypts plaintext for the peer; only once established.
    void Send(std::string_view plain);
    // The bytes to write to the socket now.
    std::string TakeOutgoing();

  private:
    void Handshake();
    void ReadPlain(std::string& plain);
    [[noreturn]] void Fail(int result);

    struct SslFree {
        void operator()(SSL* ssl) const;
    };

    std::shared_ptr<TlsContext> context_;
    std::string host_;
    std::string peer_;  // outlives ssl_, which points at it
    std::unique_ptr<SSL, SslFree> ssl_;
    BIO* received_ = nullptr;  // owned by ssl_
    BIO* outgoing_ = nullptr;  // owned by ssl_
    bool established_ = false;
    bool closed_ = false;  // the peer ended the TLS session
    bool failed_ = false;
};

}  // namespace kv::http
