#include "data/replacementfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace kv::data {

namespace {

mode_t ModeFor(const std::string& target, const FileMode& mode) {
    if (mode.forced) return *mode.forced;
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    if (mode.forNewFile) return *mode.forNewFile;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target, FileMode mode) : target_(std::move(target)) {
    std::string pattern = target_ + ".saving-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd_ = mkostemp(buf.data(), O_CLOEXEC);
    if (fd_ < 0) return;
    path_ = buf.data();
    if (fchmod(fd_, ModeFor(target_, mode)) != 0) {
        close(fd_);
        fd_ = -1;
        unlink(path_.c_str());
    }
}

ReplacementFile::~ReplacementFile() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && !path_.empty()) unlink(path_.c_str());
}

bool ReplacementFile::Write(std::string_view bytes) {
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool ReplacementFile::Commit() {
    if (fd_ < 0) return false;
    const bool synced = fsync(fd_) == 0;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed || rename(path_.c_str(), target_.c_str()) != 0) return false;
    committed_ = true;
    const std::string dir = std::filesystem::path(target_).parent_path().string();
    const int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

bool ReplaceFileContents(const std::string& target, std::string_view bytes, FileMode mode) {
    ReplacementFile file(target, mode);
    return file.Write(bytes) && file.Commit();
}

}  // namespace kv::data
