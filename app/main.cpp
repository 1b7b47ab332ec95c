// The window program: one instance per user at a time, the main window on the program folder.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/apptexts.h"
#include "app/mainform.h"
#include "app/programfolder.h"
#include "app/singleinstance.h"
#include "app/terminationsignals.h"

namespace {

bool HasArgument(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

// Qt aborts with a core dump when no display answers; say so in one line instead.
bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0' && std::strncmp(platform, "xcb", 3) != 0 &&
        std::strncmp(platform, "wayland", 7) != 0)
        return true;  // offscreen, vnc, ...: Qt needs no display server
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (HasArgument(argc, argv, "--help") || HasArgument(argc, argv, "-h")) {
        std::fputs(kv::app::texts::kUsage, stdout);
        return 0;
    }
    // The version the about box shows, compiled in from the build.
    if (HasArgument(argc, argv, "--version")) {
        std::printf(kv::app::texts::kVersionLine, KELVANE_VERSION);
        return 0;
    }
    if (!DisplayAvailable()) {
        std::fputs(kv::app::texts::kNoDisplay, stderr);
        return 1;
    }
    QApplication app(argc, argv);
    kv::detect::ProgramFolders folders;
    try {
        folders = kv::app::OpenProgramFolders(QApplication::arguments());
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, kv::app::texts::kTitle, QString::fromStdString(e.what()));
        return 1;
    }
    kv::app::SingleInstance instance(QString::fromStdString(folders.runtime));
    // A second start ends at once, silently, after bringing the running window to the front.
    if (!instance.TryLock()) {
        instance.ActivateRunning();
        return 0;
    }
    QApplication::setApplicationName("Kelvane");
    QApplication::setApplicationDisplayName(kv::app::texts::kTitle);
    QApplication::setApplicationVersion(KELVANE_VERSION);
    QApplication::setDesktopFileName("example.ostrel.Kelvane");
    QApplication::setWindowIcon(QIcon::fromTheme("kelvane"));
    kv::app::TMainForm window(std::move(folders));
    if (window.QuitRequested()) return 1;
    instance.Listen([&window] { window.BringToFront(); });
    const kv::app::TerminationSignals termination([&window] { window.close(); });
    window.show();
    return QApplication::exec();
}
