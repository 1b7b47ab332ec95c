// One instance at a time: a lock file named after the program's GUID, in the temporary folder
// (an installed program: the user's runtime folder).
// A lock left by a crashed instance is taken over.
#pragma once

#include <QDir>
#include <QLockFile>
#include <QString>

namespace kv::app {

class SingleInstance {
  public:
    explicit SingleInstance(const QString& folder = QDir::tempPath());
    // False when another live instance holds the lock.
    bool TryLock();
    static QString LockPath(const QString& folder = QDir::tempPath());

  private:
    QLockFile lock_;
};

}  // namespace kv::app
