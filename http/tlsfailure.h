// What a person reads when a TLS connection fails: the certificate's fault or the
// handshake's, with the host named; and the TLS settings of one connection.
// Tests: tests/http/fetch_tls_test.cpp (against nginx with certificates made at test time).
#pragma once

#include <QList>
#include <QSslConfiguration>
#include <QSslError>
#include <QString>
#include <optional>
#include <string>

namespace kv::http {

// The reason phrase for a failed handshake; `errors` are the certificate errors seen
// (empty when the handshake failed for another reason, told by `socketError`).
std::string TlsFailureReason(const QList<QSslError>& errors, const std::string& host,
                             const QString& socketError);

// The system's CA certificates plus those of `caFile` ("" for none); nullopt when the file
// holds no readable certificate (the failure is reported, never ignored).
std::optional<QSslConfiguration> TlsConfiguration(const std::string& caFile);

}  // namespace kv::http
