// One OpenSSL client context per CA-file setting, shared by every connection that uses it:
// the system's CA certificates plus those of the file (read once), TLS 1.2 at least, peer
// verification, and the sessions servers gave, so a later connection resumes instead of
// repeating the full handshake. Built once because a context costs milliseconds to build
// (its CA store above all), far more than a resumed handshake.
// Tests: tests/http/fetch_tls_test.cpp; measured by bench/http/transport_bench.cpp.
#pragma once

#include <openssl/ssl.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace kv::http {

class TlsContext {
  public:
    // Throws HttpError when the CA file (if named) holds no readable certificate.
    explicit TlsContext(const std::string& caFile);
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // A new connection to `peer` ("host:port"), resuming the session it gave last; the
    // sessions it gives are kept for the next one. `peer` must outlive the connection.
    SSL* Open(const std::string& peer);

  private:
    static int OnNewSession(SSL* ssl, SSL_SESSION* session);
    void KeepSession(const std::string& peer, SSL_SESSION* session);

    struct LibraryFree {
        void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
        void operator()(SSL_SESSION* session) const { SSL_SESSION_free(session); }
    };
    using Session = std::unique_ptr<SSL_SESSION, LibraryFree>;

    std::unique_ptr<SSL_CTX, LibraryFree> context_;
    std::mutex mutex_;
    std::map<std::string, Session> sessions_;
};

// The shared context for that CA file ("" for the system's certificates alone). A file that
// could not be read is tried again next time: the user may mend it.
std::shared_ptr<TlsContext> TlsContextFor(const std::string& caFile);

}  // namespace kv::http
