#include "app/singleinstance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include "app/appconfig.h"

namespace kv::app {

namespace {

constexpr int kActivateTimeoutMs = 2000;
constexpr char kActivate = 'A';

QString PerUserName() {
    return QString::fromLatin1(config::kInstanceGuid) + "-" + QString::number(getuid());
}

}  // namespace

QString SingleInstance::LockPath(const QString& folder) {
    return QDir(folder).filePath(PerUserName() + ".lock");
}

QString SingleInstance::ServerName() {
    return "kelvane-" + PerUserName();
}

SingleInstance::SingleInstance(const QString& folder) : lock_(LockPath(folder)) {
    // Only a dead owner makes the lock stale, never its age: the program runs for days.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TryLock() {
    return lock_.tryLock(0);
}

void SingleInstance::Listen(std::function<void()> onActivate) {
    onActivate_ = std::move(onActivate);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket of that name is a leftover of a crashed instance.
    QLocalServer::removeServer(ServerName());
    if (!server_->listen(ServerName())) return;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains(kActivate) && onActivate_) onActivate_();
                peer->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::ActivateRunning() const {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(kActivateTimeoutMs)) return false;
    socket.write(&kActivate, 1);
    if (!socket.waitForBytesWritten(kActivateTimeoutMs)) return false;
    socket.waitForDisconnected(kActivateTimeoutMs);
    return true;
}

}  // namespace kv::app
