// Takes a picture of the main window for the README: the window on a program folder at
// 1280x800, optionally after a detection run of the keyword in the box.
// Usage: kelvane-screenshot FOLDER OUTPUT.png [--run]
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "app/mainform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER OUTPUT.png [--run]\n", argv[0]);
        return 2;
    }
    kv::app::TMainForm window(argv[1]);
    window.setWindowState(Qt::WindowNoState);
    window.setGeometry(0, 0, 1280, 800);
    window.show();
    const bool run = argc > 3 && QString(argv[3]) == "--run";
    QTimer::singleShot(300, [&] {
        if (run) window.FindActionExecute();
        QTimer::singleShot(500, [&] {
            window.grab().save(QString::fromLocal8Bit(argv[2]));
            window.close();
            QApplication::quit();
        });
    });
    return QApplication::exec();
}
