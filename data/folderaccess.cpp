#include "data/folderaccess.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "data/dataerror.h"
#include "data/datastrings.h"
#include "text/format.h"

namespace kv::data {

bool FolderIsWritable(const std::string& folder) {
    std::string probe = folder + "/.kelvane-write-test-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

std::string SetDamagedFileAside(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".damaged-" + stamp;
    std::string target = base;
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(target, ec); ++n)
        target = base + "-" + std::to_string(n);
    // link + unlink never replaces an existing file, as a plain rename could.
    if (link(path.c_str(), target.c_str()) != 0 || unlink(path.c_str()) != 0)
        throw DataError(text::FormatText(strings::kCannotRenameFile, path));
    return target;
}

}  // namespace kv::data
