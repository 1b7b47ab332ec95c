#include "app/programfolder.h"

#include "detect/programfolder.h"

namespace kv::app {

std::string ProgramFolder(const QStringList& arguments, const QString& executableFolder) {
    QString folder;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--folder") && i + 1 < arguments.size())
            folder = arguments[i + 1];
        else if (arguments[i].startsWith(QLatin1String("--folder=")))
            folder = arguments[i].mid(9);
    }
    return detect::ResolveProgramFolder(folder.toStdString(), executableFolder.toStdString());
}

}  // namespace kv::app
