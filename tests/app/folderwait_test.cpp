// A window's run while a command-line run holds the program folder: it waits with a message,
// goes on when the folder is free, and stops waiting when the user cancels.
#include "app/folderwait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QTimer>

#include "tests/support/tempdir.h"

namespace kv::app {
namespace {

TEST(FolderWaitTest, WaitsWithAMessageUntilTheFolderIsFreeOrTheUserCancels) {
    kv::testing::TempDir dir;
    const std::string folder = dir.path().string();
    QWidget window;
    EXPECT_NE(WaitForFolderLock(&window, folder), nullptr);  // free: no waiting

    for (const bool cancel : {false, true}) {
        auto other = std::make_unique<data::FolderLock>(folder);  // the other run
        ASSERT_FALSE(other->Busy());
        QString shown;
        QTimer::singleShot(300, [&] {
            auto* dialog = window.findChild<QProgressDialog*>("FolderWaitDialog");
            ASSERT_NE(dialog, nullptr);
            shown = dialog->labelText();
            if (cancel)
                dialog->cancel();
            else
                other.reset();  // the other run ends
        });
        const auto lock = WaitForFolderLock(&window, folder);
        EXPECT_EQ(lock == nullptr, cancel);
        EXPECT_EQ(shown.toStdString(), "Another run of Kelvane uses the program folder " + folder +
                                           ". Waiting for it to end...");
    }
}

}  // namespace
}  // namespace kv::app
