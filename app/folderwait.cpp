#include "app/folderwait.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include "app/apptexts.h"
#include "data/datastrings.h"
#include "text/format.h"

namespace kv::app {

namespace {

// How often the lock is tried again: a run's end is noticed within this time.
constexpr int kRetryMs = 200;

}  // namespace

std::unique_ptr<data::FolderLock> WaitForFolderLock(QWidget* parent, const std::string& folder) {
    auto lock = std::make_unique<data::FolderLock>(folder);
    if (!lock->Busy()) return lock;
    QProgressDialog dialog(
        QString::fromStdString(text::FormatText(data::strings::kWaitingForFolder, folder)),
        texts::kCancelWaiting, 0, 0, parent);
    dialog.setObjectName("FolderWaitDialog");
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    QEventLoop loop;
    QTimer retry;
    QObject::connect(&retry, &QTimer::timeout, [&] {
        lock = std::make_unique<data::FolderLock>(folder);
        if (!lock->Busy()) loop.quit();
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    dialog.show();
    retry.start(kRetryMs);
    loop.exec();
    if (lock->Busy()) return nullptr;
    return lock;
}

}  // namespace kv::app
