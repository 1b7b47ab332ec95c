#include "app/programfolder.h"

#include <QDir>

#include "app/appconfig.h"

namespace kv::app {

std::string ProgramFolder(const QStringList& arguments, const QString& executableFolder) {
    QString folder;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--folder") && i + 1 < arguments.size())
            folder = arguments[i + 1];
        else if (arguments[i].startsWith(QLatin1String("--folder=")))
            folder = arguments[i].mid(9);
    }
    if (folder.isEmpty()) folder = qEnvironmentVariable(config::kHomeVariable);
    if (folder.isEmpty()) folder = executableFolder;
    return QDir::cleanPath(QDir(folder).absolutePath()).toStdString();
}

}  // namespace kv::app
