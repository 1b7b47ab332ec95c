// The window program: one instance at a time, the main window on the program folder.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "app/apptexts.h"
#include "app/mainform.h"
#include "app/programfolder.h"
#include "app/singleinstance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kv::detect::ProgramFolders folders;
    try {
        folders = kv::app::OpenProgramFolders(QApplication::arguments());
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, kv::app::texts::kTitle, QString::fromStdString(e.what()));
        return 1;
    }
    kv::app::SingleInstance instance(QString::fromStdString(folders.runtime));
    // A second start ends at once, silently.
    if (!instance.TryLock()) return 0;
    QApplication::setApplicationName("Kelvane");
    QApplication::setApplicationDisplayName(kv::app::texts::kTitle);
    QApplication::setApplicationVersion(KELVANE_VERSION);
    QApplication::setDesktopFileName("example.ostrel.Kelvane");
    QApplication::setWindowIcon(QIcon::fromTheme("kelvane"));
    kv::app::TMainForm window(std::move(folders));
    window.show();
    return QApplication::exec();
}
