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

    // The player, until end().
    QMediaPlayer *player() const { return player_; }
    void play();
    void pause();
    // Ends playback for good, now and not whenever the window itself is deleted: the picture
    // stops, and the player with its sound stream and threads ends on a thread of its own
    // (PlayerDisposal), so that the window never waits on the sound system.
    void end();

private:
    void addKeys();
    void togglePlayback();
    void stepBy(std::chrono::milliseconds step);
    void updatePosition(qint64 position);

    QMediaPlayer *player_; // null once ended
    QAudioOutput *audio_;
    QVideoWidget *video_;
    QWidget *controls_;
    IconButton *toggle_ = nullptr;
    QSlider *position_;
    QLabel *time_;
};

} // namespace tarn
