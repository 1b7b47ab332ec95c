// One instance per user at a time: a lock file named after the program's GUID and the user's
// id, in the temporary folder (an installed program: the user's runtime folder), so another
// user's instance never blocks. A lock left by a crashed instance is taken over. The running
// instance listens on a local socket of the same name, so a second start can bring its window
// to the front before it ends.
// Tests: tests/app/singleinstance_test.cpp.
#pragma once

#include <QDir>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace kv::app {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& folder = QDir::tempPath());
    ~SingleInstance() override;
    // False when another live instance of this user holds the lock.
    bool TryLock();
    // After TryLock succeeded: onActivate runs whenever a later start asks for the window.
    void Listen(std::function<void()> onActivate);
    // After TryLock failed: asks the running instance to show its window; false when it did
    // not answer.
    bool ActivateRunning() const;

    static QString LockPath(const QString& folder = QDir::tempPath());
    static QString ServerName();

  private:
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
    std::function<void()> onActivate_;
};

}  // namespace kv::app
