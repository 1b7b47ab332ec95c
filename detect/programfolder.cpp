#include "detect/programfolder.h"

#include <QCoreApplication>
#include <cstdlib>

namespace kv::detect {

std::string ResolveProgramFolder(const std::string& folderOption) {
    if (!folderOption.empty()) return folderOption;
    if (const char* home = std::getenv("KELVANE_HOME"); home != nullptr && *home != '\0')
        return home;
    return QCoreApplication::applicationDirPath().toStdString();
}

}  // namespace kv::detect
