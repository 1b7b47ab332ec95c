// What a person reads when a TLS connection fails: the certificate's fault or the
// handshake's, with the host named.
// Tests: tests/http/fetch_tls_test.cpp (against nginx with certificates made at test time).
#pragma once

#include <QList>
#include <QSslError>
#include <QString>
#include <string>

namespace kv::http {

// The reason phrase for a failed handshake; `errors` are the certificate errors seen
// (empty when the handshake failed for another reason, told by `socketError`).
std::string TlsFailureReason(const QList<QSslError>& errors, const std::string& host,
                             const QString& socketError);

}  // namespace kv::http
