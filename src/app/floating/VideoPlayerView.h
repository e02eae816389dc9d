// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include <QLabel>
#include <QMediaPlayer>
#include <QSlider>
#include <QUrl>
#include <QWidget>

class QAudioOutput;
class QVideoWidget;

namespace tarn {

class IconButton;

// The content of a video window: the picture with a control bar (play/pause, position, time).
// Playback starts with play(); a closed window pauses it. Space plays or pauses, the arrow keys
// step back or on.
class VideoPlayerView : public QWidget {
    Q_OBJECT
public:
    // How far the arrow keys step back or on.
    static constexpr std::chrono::milliseconds keyStep{5000};

    explicit VideoPlayerView(const QUrl &url, QWidget *parent = nullptr);
    ~VideoPlayerView() override;

    QMediaPlayer *player() const { return player_; }
    void play() { player_->play(); }
    void pause() { player_->pause(); }
    // Ends playback for good: the sound stream, the picture and the threads that read, decode
    // and play the file end now, not whenever the window itself is deleted.
    void end();

private:
    void addKeys();
    void togglePlayback();
    void stepBy(std::chrono::milliseconds step);
    void updatePosition(qint64 position);

    QMediaPlayer *player_;
    QAudioOutput *audio_;
    QVideoWidget *video_;
    QWidget *controls_;
    IconButton *toggle_ = nullptr;
    QSlider *position_;
    QLabel *time_;
};

} // namespace tarn
