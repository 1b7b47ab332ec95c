#include "tools/demoengine/demoserver.h"

#include <sys/socket.h>

#include <QTcpSocket>
#include <QTimer>
#include <stdexcept>
#include <string>

#include "tools/demoengine/request.h"

namespace kv::demo {
namespace {

// One connection: head, delayed answer, lingering close. Deletes itself at the end.
class Exchange : public QObject {
  public:
    Exchange(QTcpSocket* socket, const ServerOptions& options, const SiteOptions& site)
        : QObject(socket), socket_(socket), options_(options), site_(site) {
        connect(socket_, &QTcpSocket::readyRead, this, &Exchange::Read);
        connect(socket_, &QTcpSocket::disconnected, socket_, &QObject::deleteLater);
        connect(socket_, &QTcpSocket::errorOccurred, socket_, &QObject::deleteLater);
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, socket_, &QObject::deleteLater);
        deadline_.start(kHeadTimeoutMs);
    }

  private:
    void Read() {
        const QByteArray bytes = socket_->readAll();
        if (answered_) return;  // drained: nothing after the head is read
        received_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const HeadResult head = ParseRequestHead(received_);
        if (head.status == HeadStatus::Incomplete) return;
        answered_ = true;
        received_.clear();
        deadline_.stop();
        Response response = head.status == HeadStatus::Bad ? ErrorPage(400, "Bad Request")
                                                           : Route(head.request, site_);
        const int delay = options_.latencyMs + response.extraDelayMs;
        answer_ = Serialize(response);
        QTimer::singleShot(delay, this, &Exchange::Answer);
    }

    void Answer() {
        connect(socket_, &QTcpSocket::bytesWritten, this, &Exchange::Written);
        socket_->write(answer_.data(), static_cast<qint64>(answer_.size()));
        answer_.clear();
    }

    void Written() {
        if (socket_->bytesToWrite() > 0) return;
        // End our side only: the client reads to the close, then closes its own side.
        ::shutdown(static_cast<int>(socket_->socketDescriptor()), SHUT_WR);
        deadline_.start(kLingerMs);
    }

    QTcpSocket* socket_;
    const ServerOptions& options_;
    const SiteOptions& site_;
    QTimer deadline_;
    std::string received_;
    std::string answer_;
    bool answered_ = false;
};

}  // namespace

DemoServer::DemoServer(const ServerOptions& options, QObject* parent)
    : QObject(parent), options_(options) {
    site_.slowDelayMs = options.slowDelayMs;
    connect(&server_, &QTcpServer::newConnection, this, &DemoServer::AcceptPending);
}

void DemoServer::Start() {
    if (!server_.listen(QHostAddress::LocalHost, options_.port)) {
        throw std::runtime_error("Cannot listen on 127.0.0.1:" + std::to_string(options_.port) +
                                 ": " + server_.errorString().toStdString());
    }
    site_.host = "127.0.0.1:" + std::to_string(server_.serverPort());
}

void DemoServer::AcceptPending() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (openConnections_ >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++openConnections_;
        connect(socket, &QObject::destroyed, this, [this] { --openConnections_; });
        new Exchange(socket, options_, site_);  // owned by the socket
    }
}

}  // namespace kv::demo
