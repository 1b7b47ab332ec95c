// The clip sequence: opening clip, loop while the stop flag is false, closing clip, picture
// back; a clip that cannot play or never ends does not keep the picture away.
#include "app/clipsequence.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTest>

#include "app/clipfiles.h"
#include "tests/support/tempdir.h"

namespace kv::app {
namespace {

constexpr int kWaitMs = 20000;  // generous: only a hang fails

struct Panel {
    QWidget panel;
    QLabel* screen = new QLabel(&panel);
    QLabel* picture = new QLabel(&panel);
    Panel() { panel.show(); }
};

TEST(ClipSequence, LoopsUntilStopThenPlaysTheClosingClipAndPutsThePictureBack) {
    ClipFiles files;
    Panel panel;
    bool stop = false;
    ClipSequence clips(panel.screen, panel.picture, files.Paths(), [&] { return stop; });
    EXPECT_TRUE(clips.PictureIsBack());
    clips.Start();
    EXPECT_FALSE(clips.PictureIsBack());
    EXPECT_TRUE(panel.picture->isHidden());
    EXPECT_EQ(clips.Player(0)->state(), QMovie::Running);
    // The loop clip takes over and keeps going while the flag is false.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return clips.Player(1)->state() == QMovie::Running; }, kWaitMs));
    int loops = 0;
    QObject::connect(clips.Player(1), &QMovie::finished, [&] { ++loops; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return loops >= 2; }, kWaitMs));
    EXPECT_FALSE(clips.PictureIsBack());
    stop = true;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return clips.Player(2)->state() == QMovie::Running; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clips.PictureIsBack(); }, kWaitMs));
    EXPECT_FALSE(panel.picture->isHidden());
    EXPECT_TRUE(panel.screen->isHidden());
}

TEST(ClipSequence, AClipThatCannotPlayPutsThePictureBackAtOnce) {
    kv::testing::TempDir dir;
    kv::testing::WriteFileBytes(dir.File("broken"), "not a clip");
    const QString broken = QString::fromStdString(dir.File("broken"));
    Panel panel;
    ClipSequence clips(panel.screen, panel.picture, {broken, broken, broken}, [] { return false; });
    clips.Start();
    EXPECT_TRUE(clips.PictureIsBack());
    EXPECT_FALSE(panel.picture->isHidden());
}

TEST(ClipSequence, AClosingClipThatNeverEndsIsGivenUp) {
    ClipFiles files;
    // The closing clip made endless: a loop extension with the count 0 (for ever).
    QFile closing(files.Paths()[2]);
    ASSERT_TRUE(closing.open(QIODevice::ReadOnly));
    QByteArray bytes = closing.readAll();
    closing.close();
    const int afterColourTable = 13 + 256 * 3;
    bytes.insert(afterColourTable, QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19));
    kv::testing::TempDir dir;
    kv::testing::WriteFileBytes(dir.File("endless"), bytes.toStdString());
    Panel panel;
    bool stop = false;
    ClipSequence clips(
        panel.screen, panel.picture,
        {files.Paths()[0], files.Paths()[1], QString::fromStdString(dir.File("endless"))},
        [&] { return stop; });
    clips.Start();
    stop = true;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return clips.Player(2)->state() == QMovie::Running; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clips.PictureIsBack(); }, kWaitMs));
    EXPECT_FALSE(panel.picture->isHidden());
}

}  // namespace
}  // namespace kv::app
