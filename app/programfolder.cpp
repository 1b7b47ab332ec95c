#include "app/programfolder.h"

namespace kv::app {

namespace {

std::string FolderArgument(const QStringList& arguments) {
    QString folder;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--folder") && i + 1 < arguments.size())
            folder = arguments[i + 1];
        else if (arguments[i].startsWith(QLatin1String("--folder=")))
            folder = arguments[i].mid(9);
    }
    return folder.toStdString();
}

}  // namespace

detect::ProgramFolders OpenProgramFolders(const QStringList& arguments) {
    return detect::OpenProgramFolders(FolderArgument(arguments));
}

}  // namespace kv::app
