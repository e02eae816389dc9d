// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/VideoPlayerView.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QHBoxLayout>
#include <QMediaDevices>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QVideoWidget>

#include "app/floating/PlayerDisposal.h"
#include "app/widgets/DisplayFormat.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Palette.h"
#include "platform/recorder/SoundServer.h"

namespace tarn {
namespace {

// Qt Multimedia picks its backend once, when the first media object is made. Its FFmpeg backend
// uses the FFmpeg libraries the recorder is built on; the GStreamer one left files stuck in
// "loading" now and then. A backend the user chose through the environment stays.
void preferFfmpegBackend()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "ffmpeg");
}

// The timeline's handle jumps to a click on the bar and follows the pointer from there, as on
// any player's timeline; the platform's slider would only step a page towards the click.
class TimelineStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

// How long opening a film may wait for the sound server to say which one it is.
constexpr std::chrono::milliseconds soundServerPatience{500};

// Qt's sound engine is one for the whole process, and Qt 6.4's never works again once the sound
// server it met has gone away (killed, crashed, or restarted on the same socket), while it still
// lists that server's outputs. A player given a sound output then, or with no sound server at
// all, writes into a sink that never opened and the process crashes. So a film gets its sound
// only while the server that answers is the one the engine met, asked as the first film opened
// with an output listed; otherwise it plays silent. Where that first question found no server in
// time, which one the engine met is unknown, and films play silent from then on.
bool soundCanPlay()
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        return false;
    const std::optional<uint32_t> answering = SoundServer::identity(soundServerPatience);
    static const std::optional<uint32_t> met = answering;
    return answering && answering == met;
}

} // namespace

VideoPlayerView::VideoPlayerView(const QUrl &url, QWidget *parent) : QWidget(parent)
{
    preferFfmpegBackend();
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    video_ = new QVideoWidget;
    // However small the window is made, a picture stays to watch and the timeline to seek on.
    video_->setMinimumSize(320, 180);
    if (soundCanPlay())
        player_->setAudioOutput(audio_);
    player_->setVideoOutput(video_);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(video_, 1);

    controls_ = new QWidget;
    controls_->setFixedHeight(40);
    controls_->setAutoFillBackground(true);
    QPalette bar = controls_->palette();
    bar.setColor(QPalette::Window, Palette::sidebar);
    bar.setColor(QPalette::WindowText, Palette::muted);
    controls_->setPalette(bar);
    auto *row = new QHBoxLayout(controls_);
    row->setContentsMargins(10, 0, 14, 0);
    row->setSpacing(10);
    position_ = new QSlider(Qt::Horizontal);
    auto *timeline = new TimelineStyle(QStyleFactory::create(QApplication::style()->name()));
    timeline->setParent(position_);
    position_->setStyle(timeline);
    position_->setStyleSheet(
        QStringLiteral(
            "QSlider::groove:horizontal { height: 4px; background: %1; border-radius: 2px; }"
            "QSlider::sub-page:horizontal { background: %2; border-radius: 2px; }"
            "QSlider::handle:horizontal { background: %3; width: 12px; margin: -4px 0; border-radius: 6px; }")
            .arg(Palette::border.name(), Palette::teal.name(), Palette::text.name()));
    time_ = new QLabel(QStringLiteral("00:00 / 00:00"));
    QFont font = time_->font();
    font.setPixelSize(11);
    time_->setFont(font);
    stack->addWidget(controls_);

    auto rebuildToggle = [this, row] {
        const bool playing = player_->playbackState() == QMediaPlayer::PlayingState;
        auto *toggle = new IconButton(playing ? QStringLiteral("pause.fill") : QStringLiteral("play.fill"),
                                      playing ? QStringLiteral("일시 정지") : QStringLiteral("재생"));
        connect(toggle, &QAbstractButton::clicked, this, &VideoPlayerView::togglePlayback);
        if (toggle_) {
            // The layout hands back the old button's item: it is ours to delete.
            delete row->replaceWidget(toggle_, toggle);
            toggle_->deleteLater();
        } else {
            row->addWidget(toggle);
            row->addWidget(position_, 1);
            row->addWidget(time_);
        }
        toggle_ = toggle;
    };
    rebuildToggle();
    connect(player_, &QMediaPlayer::playbackStateChanged, this, rebuildToggle);
    connect(player_, &QMediaPlayer::durationChanged, this, [this](qint64 duration) {
        position_->setRange(0, static_cast<int>(duration));
        updatePosition(player_->position());
    });
    connect(player_, &QMediaPlayer::positionChanged, this, &VideoPlayerView::updatePosition);
    // What the person does to the bar (a click, a drag, a key) seeks; the player's own progress
    // moves the handle without seeking.
    connect(position_, &QSlider::actionTriggered, player_,
            [this] { player_->setPosition(position_->sliderPosition()); });

    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    player_->setSource(url);
    addKeys();
}

VideoPlayerView::~VideoPlayerView() { end(); }

void VideoPlayerView::end()
{
    if (!player_)
        return;
    player_->disconnect(this);
    position_->disconnect(player_);
    player_->stop();
    player_->setVideoOutput(nullptr);
    PlayerDisposal::dispose(std::exchange(player_, nullptr), std::exchange(audio_, nullptr));
}

void VideoPlayerView::play()
{
    if (player_)
        player_->play();
}

void VideoPlayerView::pause()
{
    if (player_)
        player_->pause();
}

// A player's keys, whatever in the window has the focus: Space plays or pauses, the arrow keys
// step back or on. The timeline's own arrow steps are a millisecond each, too small to see.
void VideoPlayerView::addKeys()
{
    const auto add = [this](QKeySequence keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    add(QKeySequence(Qt::Key_Space), &VideoPlayerView::togglePlayback);
    add(QKeySequence(Qt::Key_Left), [this] { stepBy(-keyStep); });
    add(QKeySequence(Qt::Key_Right), [this] { stepBy(keyStep); });
}

void VideoPlayerView::togglePlayback()
{
    if (!player_)
        return;
    if (player_->playbackState() == QMediaPlayer::PlayingState)
        player_->pause();
    else
        player_->play();
}

void VideoPlayerView::stepBy(std::chrono::milliseconds step)
{
    if (!player_)
        return;
    const qint64 end = std::max<qint64>(player_->duration(), 0);
    player_->setPosition(std::clamp<qint64>(player_->position() + step.count(), 0, end));
}

void VideoPlayerView::updatePosition(qint64 position)
{
    if (!position_->isSliderDown())
        position_->setValue(static_cast<int>(position));
    time_->setText(QStringLiteral("%1 / %2").arg(DisplayFormat::duration(position / 1000.0),
                                                 DisplayFormat::duration(player_->duration() / 1000.0)));
}

} // namespace tarn
