// The advisory lock of a program folder. Two runs on one folder would each save what they
// loaded, and the last save would drop the other's keywords and cache; so a run holds this lock
// (flock on kLockFile in the folder) from its load to its save. Other programs are not kept
// out: the lock binds the runs of Kelvane only.
// Tests: tests/data/folderlock_test.cpp, tests/cli/cli_test.cpp.
#pragma once

#include <string>

namespace kv::data {

inline constexpr const char* kLockFile = "kelvane.lock";

class FolderLock {
  public:
    // Takes the lock when it is free, without waiting.
    explicit FolderLock(const std::string& folder);
    ~FolderLock();  // lets go of the lock
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Another run holds the lock. A folder where the lock file cannot be made (read only) is
    // not busy: the run goes on and its save reports what fails.
    bool Busy() const { return busy_; }

  private:
    int fd_ = -1;
    bool busy_ = false;
};

}  // namespace kv::data
