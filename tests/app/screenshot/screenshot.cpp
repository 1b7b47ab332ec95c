// Takes a picture of the main window for the README: the window on a program folder at
// 1280x800, optionally after a detection run of the keyword in the box.
// Usage: kelvane-screenshot FOLDER OUTPUT.png [--run | --dialogs]
// --dialogs saves the dialogs as OUTPUT-about.png, OUTPUT-settings.png, ... as well.
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "app/aboutform.h"
#include "app/authform.h"
#include "app/desktop.h"
#include "app/keywordmanager.h"
#include "app/mainform.h"
#include "app/settingsform.h"

namespace {

void SaveDialogs(kv::app::TMainForm& window, const QString& output) {
    const QString stem = output.left(output.size() - 4);
    kv::app::QtDesktop desktop;
    kv::app::TAboutForm about(desktop, &window);
    about.show();
    about.grab().save(stem + "-about.png");
    kv::http::SettingsDialogModel model;
    model.Fill({}, window.ProgramFolder() + "/ua.lst", std::nullopt);
    kv::app::TSettingsForm settings(model, &window);
    settings.show();
    settings.grab().save(stem + "-settings.png");
    kv::app::TWordEditForm manager(window.Tables().WordClientDataSet, desktop, &window);
    manager.show();
    manager.grab().save(stem + "-keywords.png");
    kv::http::TAuthDlgData data{"Server:", "http://intranet.example/reports", "Staff", "", "",
                                true};
    kv::app::TAuthForm auth(data, &window);
    auth.show();
    auth.grab().save(stem + "-auth.png");
}

}  // namespace

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
    const bool dialogs = argc > 3 && QString(argv[3]) == "--dialogs";
    QTimer::singleShot(300, [&] {
        if (run) window.FindActionExecute();
        QTimer::singleShot(500, [&] {
            window.grab().save(QString::fromLocal8Bit(argv[2]));
            if (dialogs) SaveDialogs(window, QString::fromLocal8Bit(argv[2]));
            window.close();
            QApplication::quit();
        });
    });
    return QApplication::exec();
}
