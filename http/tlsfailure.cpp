#include "http/tlsfailure.h"

#include <QSslCertificate>
#include <algorithm>

#include "http/httpstrings.h"

namespace kv::http {

namespace {

bool Has(const QList<QSslError>& errors, std::initializer_list<QSslError::SslError> kinds) {
    return std::any_of(errors.begin(), errors.end(), [&kinds](const QSslError& error) {
        return std::find(kinds.begin(), kinds.end(), error.error()) != kinds.end();
    });
}

// Read once: the system store does not change while the program runs.
const QList<QSslCertificate>& SystemCaCertificates() {
    static const QList<QSslCertificate> certificates = QSslConfiguration::systemCaCertificates();
    return certificates;
}

}  // namespace

std::string TlsFailureReason(const QList<QSslError>& errors, const std::string& host,
                             const QString& socketError) {
    if (errors.isEmpty()) {
        return FormatText(kTlsHandshakeFailed, {host, socketError.toStdString()});
    }
    // The most telling fault first: a date, the name, then who issued it.
    if (Has(errors, {QSslError::CertificateExpired})) return FormatText(kTlsExpired, host);
    if (Has(errors, {QSslError::CertificateNotYetValid})) return FormatText(kTlsNotYetValid, host);
    if (Has(errors, {QSslError::HostNameMismatch})) return FormatText(kTlsWrongHost, host);
    if (Has(errors, {QSslError::SelfSignedCertificate, QSslError::SelfSignedCertificateInChain})) {
        return FormatText(kTlsSelfSigned, host);
    }
    if (Has(errors,
            {QSslError::UnableToGetIssuerCertificate, QSslError::UnableToGetLocalIssuerCertificate,
             QSslError::UnableToVerifyFirstCertificate, QSslError::CertificateUntrusted})) {
        return FormatText(kTlsUnknownIssuer, host);
    }
    return FormatText(kTlsUntrusted, {host, errors.front().errorString().toStdString()});
}

std::optional<QSslConfiguration> TlsConfiguration(const std::string& caFile) {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (caFile.empty()) return config;
    const QList<QSslCertificate> extra =
        QSslCertificate::fromPath(QString::fromStdString(caFile), QSsl::Pem);
    if (extra.isEmpty()) return std::nullopt;
    // Setting any CA list replaces the system's, so both go in.
    config.setCaCertificates(SystemCaCertificates() + extra);
    return config;
}

}  // namespace kv::http
