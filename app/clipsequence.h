// The clip sequence on the clip panel: the opening clip once, the loop clip for as long as the
// stop flag is false, the closing clip once after it, then the static picture back.
// Tests: tests/app/clipsequence_test.cpp.
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QMovie>
#include <QObject>
#include <array>
#include <functional>
#include <memory>

namespace kv::app {

// How long the end of a run waits for the closing clip beyond its own length: a clip that
// never reports its end must not hold the window in "Stop scanning".
inline constexpr int kClipEndGraceMs = 3000;

class ClipSequence : public QObject {
    Q_OBJECT
  public:
    // screen shows the clips, picture is the static picture; both sit on the clip panel.
    ClipSequence(QLabel* screen, QLabel* picture, const std::array<QString, 3>& files,
                 std::function<bool()> stopFlag, QObject* parent = nullptr);
    ~ClipSequence() override;

    // Takes the picture off and plays the opening clip; a clip that cannot play puts the
    // picture back at once.
    void Start();
    void PutPictureBack();
    // True when the static picture is on the panel. After the stop flag is set, a closing
    // clip that has not ended within kClipEndGraceMs is given up and the picture put back.
    bool PictureIsBack();
    // Closes the players (shutdown).
    void Close();

    QMovie* Player(int i) const { return players_[static_cast<std::size_t>(i)].get(); }

  private:
    bool Play(int i);
    void MediaPlayer1Notify();
    void MediaPlayer2Notify();
    void MediaPlayer3Notify();

    QLabel* screen_;
    QLabel* picture_;
    std::array<std::unique_ptr<QMovie>, 3> players_;
    std::function<bool()> stopFlag_;
    bool pictureBack_ = true;
    QElapsedTimer waitingSince_;
};

}  // namespace kv::app
