#include "detect/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>

namespace kv::detect {

std::string ResolveProgramFolder(const std::string& folderOption,
                                 const std::string& executableFolder) {
    std::string folder = folderOption;
    if (folder.empty()) {
        const char* home = std::getenv("KELVANE_HOME");
        folder = home != nullptr ? home : "";
    }
    if (folder.empty()) folder = executableFolder;
    return QDir::cleanPath(QDir(QString::fromStdString(folder)).absolutePath()).toStdString();
}

std::string ResolveProgramFolder(const std::string& folderOption) {
    return ResolveProgramFolder(folderOption, QCoreApplication::applicationDirPath().toStdString());
}

}  // namespace kv::detect
