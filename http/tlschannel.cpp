#include "http/tlschannel.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <QHostAddress>
#include <new>

#include "http/httperror.h"
#include "http/httpstrings.h"
#include "http/tlscontext.h"
#include "http/tlsfailure.h"

namespace kv::http {

namespace {

// The host without the brackets of an IPv6 address.
std::string Unbracketed(const std::string& host) {
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        return host.substr(1, host.size() - 2);
    }
    return host;
}

bool IsAddress(const std::string& host) {
    return !QHostAddress(QString::fromStdString(host)).isNull();
}

}  // namespace

TlsChannel::TlsChannel(const std::string& caFile, const std::string& host, const std::string& peer)
    : context_(TlsContextFor(caFile)), host_(Unbracketed(host)), peer_(peer) {
    ssl_.reset(context_->Open(peer_));
    received_ = BIO_new(BIO_s_mem());
    outgoing_ = BIO_new(BIO_s_mem());
    if (!ssl_ || !received_ || !outgoing_) {
        BIO_free(received_);
        BIO_free(outgoing_);
        throw std::bad_alloc();
    }
    SSL_set_bio(ssl_.get(), received_, outgoing_);
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl_.get());
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (IsAddress(host_)) {
        // An address is matched against the certificate's addresses and never sent as SNI.
        X509_VERIFY_PARAM_set1_ip_asc(param, host_.c_str());
    } else {
        SSL_set1_host(ssl_.get(), host_.c_str());
        SSL_set_tlsext_host_name(ssl_.get(), host_.c_str());
    }
    SSL_set_connect_state(ssl_.get());
    Handshake();
}

TlsChannel::~TlsChannel() {
    // A session freed without a shutdown counts as broken and is never resumed: only a
    // failure should have that effect, not the end of an exchange.
    if (established_ && !failed_) SSL_shutdown(ssl_.get());
}

void TlsChannel::SslFree::operator()(SSL* ssl) const {
    SSL_free(ssl);
}

std::string TlsChannel::Receive(std::string_view bytes) {
    std::string plain;
    // A few records at a time, so the library's input buffer stays small.
    for (std::size_t at = 0; at < bytes.size() && !closed_; at += kPiece) {
        const std::string_view piece = bytes.substr(at, kPiece);
        if (BIO_write(received_, piece.data(), static_cast<int>(piece.size())) <= 0) {
            throw std::bad_alloc();
        }
        if (!established_) Handshake();
        if (established_) ReadPlain(plain);
    }
    return plain;
}

void TlsChannel::Handshake() {
    ERR_clear_error();
    const int result = SSL_do_handshake(ssl_.get());
    if (result == 1) {
        established_ = true;
        return;
    }
    if (SSL_get_error(ssl_.get(), result) != SSL_ERROR_WANT_READ) Fail(result);
}

void TlsChannel::ReadPlain(std::string& plain) {
    char buffer[16 * 1024];
    for (;;) {
        ERR_clear_error();
        const int got = SSL_read(ssl_.get(), buffer, sizeof buffer);
        if (got > 0) {
            plain.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        const int error = SSL_get_error(ssl_.get(), got);
        if (error == SSL_ERROR_WANT_READ) return;
        if (error == SSL_ERROR_ZERO_RETURN) {
            closed_ = true;
            return;
        }
        Fail(got);
    }
}

void TlsChannel::Fail(int result) {
    failed_ = true;
    const int code = SSL_get_error(ssl_.get(), result);  // before the queue is read
    std::string detail = TlsLibraryError();
    if (detail.empty()) detail = "error " + std::to_string(code);
    if (established_) throw HttpError(FormatText(kTlsBroken, {host_, detail}));
    throw HttpError(TlsFailureReason(SSL_get_verify_result(ssl_.get()), host_, detail));
}

void TlsChannel::Send(std::string_view plain) {
    ERR_clear_error();
    // A memory sink takes everything at once.
    if (!plain.empty() &&
        SSL_write(ssl_.get(), plain.data(), static_cast<int>(plain.size())) <= 0) {
        Fail(0);
    }
}

std::string TlsChannel::TakeOutgoing() {
    std::string bytes(static_cast<std::size_t>(BIO_ctrl_pending(outgoing_)), '\0');
    if (!bytes.empty()) BIO_read(outgoing_, bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

}  // namespace kv::http
