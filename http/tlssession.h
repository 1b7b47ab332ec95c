// The TLS settings of one connection: the system's CA certificates plus those of the CA-file
// setting (read once per file), peer verification, and the session ticket a server gave
// before, so a later connection to it resumes instead of repeating the full handshake.
// Tests: tests/http/fetch_tls_test.cpp; measured by bench/http/transport_bench.cpp.
#pragma once

#include <QByteArray>
#include <QSslConfiguration>
#include <optional>
#include <string>

namespace kv::http {

// The configuration for a connection to `peer` ("host:port"); nullopt when the CA file holds
// no readable certificate (the failure is reported, never ignored).
std::optional<QSslConfiguration> TlsConfiguration(const std::string& caFile,
                                                  const std::string& peer);

// Keeps the ticket `peer` gave for the next connection to it (with the same CA file).
void RememberTlsSession(const std::string& caFile, const std::string& peer,
                        const QByteArray& ticket);

}  // namespace kv::http
