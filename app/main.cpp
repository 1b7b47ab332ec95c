// The window program: one instance at a time, the main window on the program folder.
#include <QApplication>

#include "app/apptexts.h"
#include "app/mainform.h"
#include "app/programfolder.h"
#include "app/singleinstance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kv::app::SingleInstance instance;
    // A second start ends at once, silently.
    if (!instance.TryLock()) return 0;
    QApplication::setApplicationName("Kelvane");
    QApplication::setApplicationDisplayName(kv::app::texts::kTitle);
    QApplication::setApplicationVersion(KELVANE_VERSION);
    const std::string folder =
        kv::app::ProgramFolder(QApplication::arguments(), QApplication::applicationDirPath());
    kv::app::TMainForm window(folder);
    window.show();
    return QApplication::exec();
}
