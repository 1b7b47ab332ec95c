// Writing an export file whole or not at all: the bytes go to a new temporary file beside
// the target, which then replaces the target by a rename.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "data/export_writers.h"
#include "data/exportgrid.h"

namespace kv::data {

namespace {

// Attempts at a free temporary name; a clash means another writer picked the same random name.
constexpr int kTemporaryNameAttempts = 16;

class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& target) {
        std::random_device random;
        for (int attempt = 0; attempt < kTemporaryNameAttempts && fd_ < 0; ++attempt) {
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
            path_ = target + suffix;
            // 0666: the new file gets the permissions the user's umask gives any new file.
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && errno != EEXIST) break;
        }
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Write(std::string_view bytes) {
        if (fd_ < 0) return false;
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

    // Makes the content durable, then puts it in the target's place.
    bool CommitAs(const std::string& target) {
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        if (!synced || !closed || ::rename(path_.c_str(), target.c_str()) != 0) return false;
        committed_ = true;
        return true;
    }

  private:
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace

void ExportGridToFile(ExportFormat format, const ExportGrid& grid, const ExportRowSource& rows,
                      const std::string& path) {
    const std::string bytes = ExportGridBytes(format, grid, rows);
    TemporaryFile file(path);
    if (!file.Write(bytes) || !file.CommitAs(path))
        throw ExportError(exportdetail::FormatMessage(kExportCannotCreateFile, path));
}

}  // namespace kv::data
