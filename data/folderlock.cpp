#include "data/folderlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace kv::data {

FolderLock::FolderLock(const std::string& folder) {
    const std::string path = (std::filesystem::path(folder) / kLockFile).string();
    // The file stays: removing it would let two runs lock two different files of one name.
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0) return;
    int rc;
    do {
        rc = flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) return;
    busy_ = errno == EWOULDBLOCK;
    close(fd_);
    fd_ = -1;
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) close(fd_);  // closing the only descriptor releases the lock
}

}  // namespace kv::data
