// One instance at a time: a lock file in the temporary folder named after the program's GUID.
// A lock left by a crashed instance is taken over.
#pragma once

#include <QLockFile>
#include <QString>

namespace kv::app {

class SingleInstance {
  public:
    SingleInstance();
    // False when another live instance holds the lock.
    bool TryLock();
    static QString LockPath();

  private:
    QLockFile lock_;
};

}  // namespace kv::app
