#include "tests/support/demoprocess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>

namespace kv::testing {
namespace {

// Generous limits: a loaded CI machine must not fail a test, and none asserts on time.
constexpr int kStartMs = 10000;
constexpr int kReplyMs = 20000;

RawReply ParseReply(const std::string& bytes) {
    RawReply reply;
    const std::size_t headEnd = bytes.find("\r\n\r\n");
    const std::string head = bytes.substr(0, headEnd);
    reply.body = headEnd == std::string::npos ? std::string() : bytes.substr(headEnd + 4);
    std::size_t lineStart = 0;
    bool first = true;
    while (lineStart <= head.size()) {
        std::size_t lineEnd = head.find("\r\n", lineStart);
        if (lineEnd == std::string::npos) lineEnd = head.size();
        const std::string line = head.substr(lineStart, lineEnd - lineStart);
        if (first) {
            reply.statusLine = line;
            if (line.size() >= 12) reply.status = std::atoi(line.substr(9, 3).c_str());
            first = false;
        } else if (const std::size_t colon = line.find(':'); colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::size_t value = colon + 1;
            while (value < line.size() && line[value] == ' ') ++value;
            reply.headers[name] = line.substr(value);
        }
        lineStart = lineEnd + 2;
    }
    return reply;
}

}  // namespace

std::string DemoEnginePath() {
    return std::string(KELVANE_TEST_BIN_DIR) + "/kelvane-demo-engine";
}

DemoEngine::DemoEngine(const QStringList& arguments) : process_(std::make_unique<QProcess>()) {
    process_->setProcessChannelMode(QProcess::SeparateChannels);
    process_->start(QString::fromStdString(DemoEnginePath()),
                    QStringList{"--port", "0"} + arguments);
    if (!process_->waitForStarted(kStartMs)) {
        throw std::runtime_error("cannot start " + DemoEnginePath());
    }
    while (!process_->canReadLine()) {
        if (!process_->waitForReadyRead(kStartMs)) {
            throw std::runtime_error("the demo engine printed no port: " +
                                     process_->readAllStandardError().toStdString());
        }
    }
    bool ok = false;
    port_ = static_cast<quint16>(process_->readLine().trimmed().toUInt(&ok));
    if (!ok || port_ == 0) throw std::runtime_error("the demo engine printed no port");
}

DemoEngine::~DemoEngine() {
    if (process_->state() != QProcess::NotRunning) Stop();
}

int DemoEngine::Stop() {
    process_->terminate();
    return WaitForExit();
}

int DemoEngine::WaitForExit() {
    if (!process_->waitForFinished(kStartMs)) {
        process_->kill();
        process_->waitForFinished(kStartMs);
        return -1;
    }
    return process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : -1;
}

RawReply Exchange(quint16 port, const std::string& requestBytes, bool halfClose) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("no socket");
    timeval limit{kReplyMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string bytes;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        ::send(fd, requestBytes.data(), requestBytes.size(), MSG_NOSIGNAL);
        if (halfClose) ::shutdown(fd, SHUT_WR);
        char chunk[4096];
        for (ssize_t n; (n = ::recv(fd, chunk, sizeof chunk, 0)) > 0;) {
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return ParseReply(bytes);
}

RawReply Get(quint16 port, const std::string& target) {
    return Exchange(port, "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) +
                              "\r\nAccept: */*\r\n\r\n");
}

RawReply GetAddress(quint16 port, const std::string& address) {
    // Any loopback host on this port: the server's own or one of its sites' addresses.
    const std::string scheme = "http://127.0.0.";
    const std::string portText = ":" + std::to_string(port);
    const std::size_t portAt = address.find(portText, scheme.size());
    if (address.rfind(scheme, 0) != 0 || portAt == std::string::npos ||
        address.find('/', scheme.size()) < portAt)
        throw std::runtime_error("not this server: " + address);
    std::string target = address.substr(portAt + portText.size());
    return Get(port, target.empty() ? "/" : target);
}

}  // namespace kv::testing
