// What a person reads when a TLS connection fails: the certificate's fault or the
// handshake's, with the host named.
// Tests: tests/http/fetch_tls_test.cpp (against nginx with certificates made at test time).
#pragma once

#include <string>

namespace kv::http {

// The reason phrase for a failed handshake. `verifyResult` is the library's verdict on the
// certificate (X509_V_OK when the handshake failed for another reason, told by `detail`).
std::string TlsFailureReason(long verifyResult, const std::string& host, const std::string& detail);

// The library's words for the error it queued last ("" when none), the queue cleared.
std::string TlsLibraryError();

}  // namespace kv::http
