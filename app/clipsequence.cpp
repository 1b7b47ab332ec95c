#include "app/clipsequence.h"

namespace kv::app {

namespace {

// The clips' own length at most: 16 loop frames and 5 closing frames at 25 frames a second.
constexpr int kLongestClipTailMs = (16 + 5) * 40;

}  // namespace

ClipSequence::ClipSequence(QLabel* screen, QLabel* picture, const std::array<QString, 3>& files,
                           std::function<bool()> stopFlag, QObject* parent)
    : QObject(parent), screen_(screen), picture_(picture), stopFlag_(std::move(stopFlag)) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].isEmpty()) continue;
        players_[i] = std::make_unique<QMovie>(files[i], QByteArray("gif"));
        players_[i]->setCacheMode(QMovie::CacheAll);
    }
    if (players_[0])
        connect(players_[0].get(), &QMovie::finished, this, &ClipSequence::MediaPlayer1Notify);
    if (players_[1])
        connect(players_[1].get(), &QMovie::finished, this, &ClipSequence::MediaPlayer2Notify);
    if (players_[2])
        connect(players_[2].get(), &QMovie::finished, this, &ClipSequence::MediaPlayer3Notify);
    screen_->hide();
}

ClipSequence::~ClipSequence() {
    Close();
}

bool ClipSequence::Play(int i) {
    QMovie* player = Player(i);
    if (!player || !player->isValid()) return false;
    for (auto& other : players_)
        if (other && other.get() != player) other->stop();
    screen_->setMovie(player);
    player->start();
    return player->state() == QMovie::Running;
}

void ClipSequence::Start() {
    screen_->parentWidget()->repaint();
    picture_->hide();
    screen_->show();
    pictureBack_ = false;
    waitingSince_.invalidate();
    if (!Play(0)) PutPictureBack();
}

void ClipSequence::MediaPlayer1Notify() {
    if (pictureBack_) return;
    if (Player(0)->state() == QMovie::NotRunning && !Play(1)) PutPictureBack();
}

void ClipSequence::MediaPlayer2Notify() {
    if (pictureBack_) return;
    if (!Play(stopFlag_() ? 2 : 1)) PutPictureBack();
}

void ClipSequence::MediaPlayer3Notify() {
    if (Player(2)->state() == QMovie::NotRunning) PutPictureBack();
}

void ClipSequence::PutPictureBack() {
    for (auto& player : players_)
        if (player) player->stop();
    screen_->setMovie(nullptr);
    screen_->hide();
    picture_->show();
    pictureBack_ = true;
}

bool ClipSequence::PictureIsBack() {
    if (pictureBack_ || !stopFlag_()) return pictureBack_;
    if (!waitingSince_.isValid()) waitingSince_.start();
    if (waitingSince_.elapsed() > kLongestClipTailMs + kClipEndGraceMs) PutPictureBack();
    return pictureBack_;
}

void ClipSequence::Close() {
    if (!pictureBack_) PutPictureBack();
    for (auto& player : players_) player.reset();
}

}  // namespace kv::app
