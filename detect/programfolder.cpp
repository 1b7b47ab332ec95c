#include "detect/programfolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "data/tables.h"
#include "detect/detecterror.h"
#include "detect/detectstrings.h"
#include "http/connectionsettings.h"
#include "text/format.h"

namespace kv::detect {

namespace {

constexpr const char* kAppFolder = "kelvane";
// Shipped files of an installed program, relative to the executable's folder.
constexpr const char* kShippedFromBin = "../share/kelvane";
constexpr mode_t kUserOnly = 0700;

std::string Clean(const std::string& path) {
    return QDir::cleanPath(QDir(QString::fromStdString(path)).absolutePath()).toStdString();
}

std::string Join(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// An XDG variable counts only when it holds an absolute path; otherwise the default applies.
std::string XdgFolder(const std::string& value, const std::string& fallback) {
    return !value.empty() && value.front() == '/' ? value : fallback;
}

bool IsFolder(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).isDir();
}

}  // namespace

std::string ProgramFolders::SettingsFile() const {
    return http::SettingsFilePath(settings);
}

std::string ProgramFolders::EngineFile() const {
    const std::string own = UserEngineFile();
    return std::filesystem::exists(own) ? own : ShippedFile(data::kEngineFile);
}

std::string ProgramFolders::UserEngineFile() const {
    return Join(data, data::kEngineFile);
}

std::string ProgramFolders::ShippedFile(const std::string& name) const {
    return Join(shipped, name);
}

FolderEnvironment FolderEnvironment::FromProcess() {
    FolderEnvironment env;
    env.kelvaneHome = Env("KELVANE_HOME");
    env.home = Env("HOME");
    if (env.home.empty()) env.home = QDir::homePath().toStdString();
    env.xdgConfigHome = Env("XDG_CONFIG_HOME");
    env.xdgDataHome = Env("XDG_DATA_HOME");
    env.xdgRuntimeDir = Env("XDG_RUNTIME_DIR");
    env.tempFolder = QDir::tempPath().toStdString();
    return env;
}

ProgramFolders PortableFolders(const std::string& folder, const std::string& tempFolder) {
    ProgramFolders f;
    f.settings = f.data = f.shipped = Clean(folder);
    f.runtime = Clean(tempFolder);
    return f;
}

ProgramFolders ResolveProgramFolders(const std::string& folderOption,
                                     const std::string& executableFolder,
                                     const FolderEnvironment& env) {
    const std::string exe = Clean(executableFolder);
    const std::string prefixShare = Clean(Join(exe, kShippedFromBin));
    const bool hasShare = IsFolder(prefixShare);
    const bool installed = hasShare || ::access(exe.c_str(), W_OK) != 0;
    const std::string named = !folderOption.empty() ? folderOption : env.kelvaneHome;

    if (!installed) return PortableFolders(!named.empty() ? named : exe, env.tempFolder);

    ProgramFolders f;
    f.shipped = hasShare ? prefixShare : exe;
    f.runtime = Clean(XdgFolder(env.xdgRuntimeDir, env.tempFolder));
    if (!named.empty()) {
        f.settings = f.data = Clean(named);
    } else {
        f.settings =
            Clean(Join(XdgFolder(env.xdgConfigHome, Join(env.home, ".config")), kAppFolder));
        f.data =
            Clean(Join(XdgFolder(env.xdgDataHome, Join(env.home, ".local/share")), kAppFolder));
        f.exports = f.data;
        f.xdg = true;
    }
    return f;
}

void CreateUserFolders(const ProgramFolders& folders) {
    if (!folders.xdg) return;
    for (const std::string& folder : {folders.settings, folders.data}) {
        // Each missing level is made private, as the XDG base folders must be.
        std::filesystem::path path;
        for (const auto& part : std::filesystem::path(folder)) {
            path /= part;
            if (::mkdir(path.c_str(), kUserOnly) != 0 && errno != EEXIST)
                throw DetectError(text::FormatText(strings::kCannotCreateFolder, folder));
        }
        if (!std::filesystem::is_directory(folder))
            throw DetectError(text::FormatText(strings::kCannotCreateFolder, folder));
    }
}

ProgramFolders OpenProgramFolders(const std::string& folderOption) {
    ProgramFolders folders =
        ResolveProgramFolders(folderOption, QCoreApplication::applicationDirPath().toStdString(),
                              FolderEnvironment::FromProcess());
    CreateUserFolders(folders);
    return folders;
}

}  // namespace kv::detect
