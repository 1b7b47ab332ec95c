#include "data/replacementfile.h"

#include <fcntl.h>
#include <sys/file.h>
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

constexpr std::string_view kSavingInfix = ".saving-";
constexpr std::size_t kSavingSuffixLength = 6;  // the XXXXXX of mkostemp

}  // namespace

void RemoveStaleSavingFiles(const std::string& target) {
    const std::filesystem::path path(target);
    const std::string prefix = path.filename().string() + std::string(kSavingInfix);
    std::error_code ec;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + kSavingSuffixLength || name.rfind(prefix, 0) != 0)
            continue;
        const int fd = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(entry.path().c_str());  // no writer left
        close(fd);
    }
}

ReplacementFile::ReplacementFile(std::string target, FileMode mode) : target_(std::move(target)) {
    RemoveStaleSavingFiles(target_);
    std::string pattern = target_ + std::string(kSavingInfix) + "XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd_ = mkostemp(buf.data(), O_CLOEXEC);
    if (fd_ < 0) return;
    path_ = buf.data();
    // Held until the file is renamed or removed: it marks the file as being written. A file
    // system without flock leaves it unmarked, and the save goes on.
    (void)flock(fd_, LOCK_EX);
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
    // Renamed while still open, so the file is never unlocked under its temporary name.
    const bool renamed = fsync(fd_) == 0 && rename(path_.c_str(), target_.c_str()) == 0;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!renamed) return false;
    committed_ = true;
    if (!closed) return false;
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
