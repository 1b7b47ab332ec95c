#include "app/singleinstance.h"

#include <QDir>

#include "app/appconfig.h"

namespace kv::app {

QString SingleInstance::LockPath(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(config::kInstanceGuid) + ".lock");
}

SingleInstance::SingleInstance(const QString& folder) : lock_(LockPath(folder)) {
    // Only a dead owner makes the lock stale, never its age: the program runs for days.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::TryLock() {
    return lock_.tryLock(0);
}

}  // namespace kv::app
