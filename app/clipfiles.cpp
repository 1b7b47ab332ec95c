#include "app/clipfiles.h"

#include <QDir>
#include <QFile>
#include <QUuid>

// The clips live in a static library; this reference keeps them in every program.
static void InitClipResources() {
    Q_INIT_RESOURCE(clips);
}

namespace kv::app {

void ClipFiles::InitResources() {
    static const bool done = (InitClipResources(), true);
    (void)done;
}

ClipFiles::ClipFiles() {
    InitResources();
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        const QString path = QDir::temp().filePath(QUuid::createUuid().toString(QUuid::WithBraces));
        QFile resource(QStringLiteral(":/clips/%1.gif").arg(i + 1));
        QFile file(path);
        if (!resource.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly)) continue;
        const bool written = file.write(resource.readAll()) == resource.size();
        file.close();
        if (written)
            paths_[i] = path;
        else
            QFile::remove(path);
    }
}

ClipFiles::~ClipFiles() {
    Remove();
}

void ClipFiles::Remove() {
    for (QString& path : paths_) {
        if (!path.isEmpty()) QFile::remove(path);
        path.clear();
    }
}

}  // namespace kv::app
