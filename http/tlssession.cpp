#include "http/tlssession.h"

#include <QSslCertificate>
#include <QSslSocket>
#include <map>
#include <mutex>

namespace kv::http {

namespace {

// Tickets of this many peers at most: a run visits many sites, most of them once.
constexpr std::size_t kMaxTlsSessions = 256;

// Process-wide, like the host cache: configurations by CA file, tickets by CA file and peer.
struct TlsCache {
    std::mutex mutex;
    std::map<std::string, QSslConfiguration> configurations;
    std::map<std::string, QByteArray> tickets;
};

TlsCache& Cache() {
    static TlsCache cache;
    return cache;
}

std::optional<QSslConfiguration> BaseConfiguration(const std::string& caFile) {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    config.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    if (caFile.empty()) return config;
    const QList<QSslCertificate> extra =
        QSslCertificate::fromPath(QString::fromStdString(caFile), QSsl::Pem);
    if (extra.isEmpty()) return std::nullopt;
    // Setting any CA list replaces the system's, so both go in.
    config.setCaCertificates(QSslConfiguration::systemCaCertificates() + extra);
    return config;
}

}  // namespace

std::optional<QSslConfiguration> TlsConfiguration(const std::string& caFile,
                                                  const std::string& peer) {
    TlsCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    auto found = cache.configurations.find(caFile);
    if (found == cache.configurations.end()) {
        std::optional<QSslConfiguration> config = BaseConfiguration(caFile);
        if (!config) return std::nullopt;  // read again next time: the user may fix the file
        found = cache.configurations.emplace(caFile, *config).first;
    }
    QSslConfiguration config = found->second;
    if (auto ticket = cache.tickets.find(caFile + "\n" + peer); ticket != cache.tickets.end()) {
        config.setSessionTicket(ticket->second);
    }
    return config;
}

void RememberTlsSession(const std::string& caFile, const std::string& peer,
                        const QByteArray& ticket) {
    if (ticket.isEmpty()) return;
    TlsCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    if (cache.tickets.size() >= kMaxTlsSessions) cache.tickets.clear();
    cache.tickets[caFile + "\n" + peer] = ticket;
}

}  // namespace kv::http
