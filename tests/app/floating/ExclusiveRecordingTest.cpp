// SPDX-License-Identifier: GPL-3.0-or-later
// Real recordings through the recording service under Xvfb (the suite holds the display lock:
// it reads the screen and shows a window on top): a moving pattern recorded with the
// FFmpeg/X11/PulseAudio recorder and read back with libavformat.
#include <cmath>
#include <optional>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <qcoro/qcorotask.h>

#include "app/capture/RecordingService.h"
#include "app/floating/FloatingWindows.h"
#include "app/floating/VideoPlayerView.h"
#include "platform/recorder/AudioCapture.h"
#include "platform/recorder/ScreenRecorderBackend.h"
#include "support/RecordedVideo.h"

using namespace tarn;
using TestSupport::amplitudeAt;
using TestSupport::haveDisplay;
using TestSupport::haveSoundServer;
using TestSupport::MovingPattern;
using TestSupport::readBack;

namespace {

ContentFilter wholeScreen()
{
    ContentFilter filter;
    filter.displayID = 1;
    filter.nativeRect = QRect(0, 0, 1920, 1080);
    filter.scale = 1;
    return filter;
}

struct Recording {
    std::optional<QString> finished;
    QStringList errors;
};

// Records `seconds` of the pattern's area; returns what the service reported.
Recording record(RecordingService &service, const QString &path, double seconds, RecordingSettings settings)
{
    Recording result;
    QObject::connect(&service, &RecordingService::finished, &service,
                     [&](const QString &file) { result.finished = file; });
    QObject::connect(&service, &RecordingService::failed, &service,
                     [&](const Failure &error) { result.errors << error.description(); });
    QCoro::waitFor(service.start(wholeScreen(), QRectF(0, 0, 640, 360), settings, path));
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(int(seconds * 1000));
    QCoro::waitFor(service.stop());
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.finished || !result.errors.isEmpty(); }, 20000));
    return result;
}

// Three seconds (or more) of a 440 Hz tone (or another) as a 48 kHz stereo WAV file.
QString writeTone(const QTemporaryDir &dir, double frequency = 440, int seconds = 3)
{
    const int rate = 48000, frames = rate * seconds;
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        const auto v = int16_t(12000 * std::sin(2 * M_PI * frequency * i / rate));
        for (int c = 0; c < 2; ++c)
            data.append(reinterpret_cast<const char *>(&v), 2);
    }
    QByteArray wav("RIFF");
    auto put32 = [&](uint32_t v) { wav.append(reinterpret_cast<const char *>(&v), 4); };
    auto put16 = [&](uint16_t v) { wav.append(reinterpret_cast<const char *>(&v), 2); };
    put32(uint32_t(36 + data.size()));
    wav.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(2);
    put32(rate);
    put32(rate * 4);
    put16(4);
    put16(16);
    wav.append("data");
    put32(uint32_t(data.size()));
    wav.append(data);
    const QString path = dir.filePath(QStringLiteral("tone-%1.wav").arg(frequency));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(wav);
    return path;
}

int pactl(const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    process.waitForFinished();
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

TEST(ExclusiveRecording, FiveSecondsAtThirtyFramesReadBackWithSizeFramesAndDuration)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    MovingPattern pattern;
    QTest::qWait(200);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("five.mp4"));
    if (qEnvironmentVariableIsSet("TARN_KEEP_RECORDING"))
        path = qEnvironmentVariable("TARN_KEEP_RECORDING");
    RecordingService service;
    std::vector<RecordingService::State> states;
    QObject::connect(&service, &RecordingService::stateChanged,
                     [&](RecordingService::State s) { states.push_back(s); });
    RecordingSettings settings;
    settings.frameRate = 30;

    const Recording result = record(service, path, 5.0, settings);
    ASSERT_TRUE(result.finished) << result.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(*result.finished, path);
    EXPECT_EQ(service.state(), RecordingService::State::idle);
    EXPECT_GT(service.byteCount(), 0);
    EXPECT_GT(service.seconds(), 3.0);
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
    using S = RecordingService::State;
    EXPECT_EQ(states, (std::vector<S>{S::starting, S::recording, S::stopping, S::idle}));

    const auto facts = readBack(path);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->width, 640);
    EXPECT_EQ(facts->height, 360);
    EXPECT_FALSE(facts->audio);
    // Never more frames than asked; fewer only as far as a loaded machine drops them (the
    // frame rate kept is the recorder benchmark's measure, not this test's).
    EXPECT_LE(facts->frames, 150 * 108 / 100);
    EXPECT_GE(facts->frames, 150 * 60 / 100);
    EXPECT_NEAR(facts->duration, 5.0, 5.0 * 0.05);
}

// System sound (a tone played into the null sink) and a microphone (a null source standing in
// for the missing hardware) mixed into one AAC track; the region reaches past the screen.
TEST(ExclusiveRecording, SystemSoundAndMicrophoneGiveAnAudibleTrackAndTheRegionIsCut)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    if (!haveSoundServer())
        GTEST_SKIP() << "needs a PulseAudio server (scripts/with-desktop.sh starts one)";
    QString defaultSource;
    pactl({QStringLiteral("get-default-source")}, &defaultSource);
    // An output's monitor is no microphone.
    if (defaultSource.endsWith(QLatin1String(".monitor"))) {
        EXPECT_FALSE(AudioCapture::canOpenMicrophone());
    }
    QString module;
    ASSERT_EQ(pactl({QStringLiteral("load-module"), QStringLiteral("module-null-source"),
                     QStringLiteral("source_name=tarn_mic")},
                    &module),
              0);
    pactl({QStringLiteral("set-default-source"), QStringLiteral("tarn_mic")});
    EXPECT_TRUE(AudioCapture::canOpenMicrophone());

    MovingPattern pattern;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("sound.mp4"));
    if (qEnvironmentVariableIsSet("TARN_KEEP_RECORDING"))
        path = qEnvironmentVariable("TARN_KEEP_RECORDING");
    RecordingService service;
    RecordingSettings settings;
    settings.frameRate = 30;
    settings.systemAudio = true;
    settings.microphone = true;
    settings.recordingLongEdge = 1920;
    Recording result;
    QObject::connect(&service, &RecordingService::finished, &service,
                     [&](const QString &file) { result.finished = file; });
    QObject::connect(&service, &RecordingService::failed, &service,
                     [&](const Failure &error) { result.errors << error.description(); });
    // The tone plays first, and a first listener waits out the null sink's start-up: it wakes
    // from its idle suspension with a two-second rendering period, so the first reader of its
    // monitor hears nothing for up to two seconds.
    QProcess player, listener;
    player.start(QStringLiteral("paplay"),
                 {QStringLiteral("--device=tarn_null"), QStringLiteral("--latency-msec=20"), writeTone(dir)});
    listener.start(QStringLiteral("parec"),
                   {QStringLiteral("--device=tarn_null.monitor"), QStringLiteral("--latency-msec=20")});
    EXPECT_TRUE(listener.waitForReadyRead(4000));
    QCoro::waitFor(service.start(wholeScreen(), QRectF(1500.5, 700, 1000, 900), settings, path));
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(2000);
    const double recorded = double(clock.elapsed()) / 1000;
    QCoro::waitFor(service.stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.finished || !result.errors.isEmpty(); }, 20000));
    for (QProcess *process : {&player, &listener}) {
        process->kill();
        process->waitForFinished();
    }
    pactl({QStringLiteral("set-default-source"), defaultSource});
    pactl({QStringLiteral("unload-module"), module});
    ASSERT_TRUE(result.finished) << result.errors.join(QLatin1Char('\n')).toStdString();

    const auto facts = readBack(path);
    ASSERT_TRUE(facts);
    EXPECT_TRUE(facts->audio);
    EXPECT_GT(facts->audioLevel, 0.05); // the tone is there (about 0.26 when it fills the track)
    EXPECT_EQ(facts->width, 418);       // 419.5 points wide, rounded down to even
    EXPECT_EQ(facts->height, 380);
    // The picture runs the whole time beside the sound; how many frames a starved machine keeps
    // is the recorder benchmark's figure.
    EXPECT_NEAR(facts->duration, recorded, 0.3);
    EXPECT_GT(facts->frames, 2);
}

// The system's sound is what other applications play, not Tarnwick's own: our video window
// plays 440 Hz from before the recording, another process starts 1000 Hz during it, and the
// recording holds the 1000 Hz tone and not the 440 Hz one.
TEST(ExclusiveRecording, SystemSoundLeavesOutOurOwnPlayer)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    if (!haveSoundServer())
        GTEST_SKIP() << "needs a PulseAudio server (scripts/with-desktop.sh starts one)";
    QTemporaryDir dir;
    const QString ownMovie = dir.filePath(QStringLiteral("own.mp4"));
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("ffmpeg"),
                          {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("sine=frequency=440:duration=12:sample_rate=48000"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("color=c=navy:s=320x240:d=12"),
                           QStringLiteral("-af"), QStringLiteral("volume=0.4"), QStringLiteral("-shortest"), ownMovie}),
        0);
    FloatingWindows floating;
    floating.showVideo(QUrl::fromLocalFile(ownMovie), QStringLiteral("own"));
    QString inputs;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")}, &inputs);
            return !inputs.isEmpty();
        },
        10'000));

    RecorderRequest request;
    request.sourceRect = QRect(0, 0, 320, 240);
    request.outputSize = request.sourceRect.size();
    request.frameRate = 30;
    request.systemAudio = true;
    request.path = dir.filePath(QStringLiteral("sound.mp4"));
    ScreenRecorderBackend backend;
    auto session = backend.createSession(request);
    bool finished = false;
    QObject::connect(session.get(), &RecorderSession::recordingFinished, [&] { finished = true; });
    QFuture<QString> started = session->startCapture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.isFinished(); }, 10'000));
    ASSERT_TRUE(started.result().isEmpty()) << started.result().toStdString();
    QProcess other;
    other.start(QStringLiteral("paplay"), {QStringLiteral("--latency-msec=20"), writeTone(dir, 1000, 12)});
    QTest::qWait(3000);
    session->stopCapture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 20'000));
    other.kill();
    other.waitForFinished();
    floating.closePins();

    const auto facts = readBack(request.path);
    ASSERT_TRUE(facts);
    const std::vector<float> &sound = facts->sound;
    ASSERT_GT(sound.size(), size_t(48000));
    const double theirs = amplitudeAt(sound, 1000), ours = amplitudeAt(sound, 440);
    // The other player may start late on a busy machine, so its tone can fill only part of the
    // track: what matters is that it is there and ours, playing throughout, is not.
    EXPECT_GT(theirs, 0.01) << "the other application's tone is recorded";
    EXPECT_LT(ours, theirs / 20) << "our own player's tone is not (" << ours << " against " << theirs << ")";
}

// While no application plays, the sound server hands out nothing: a recording whose sound begins
// later still has a sound track from its first frame on, silent until then, and the video window
// plays it to the end (a track beginning a second late stopped the player part-way).
TEST(ExclusiveRecording, SoundThatBeginsLateLeavesSilenceBeforeItAndPlaysToTheEnd)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    if (!haveSoundServer())
        GTEST_SKIP() << "needs a PulseAudio server (scripts/with-desktop.sh starts one)";
    MovingPattern pattern;
    QTemporaryDir dir;
    RecordingService service;
    RecordingSettings settings;
    settings.frameRate = 30;
    settings.systemAudio = true;
    QProcess other;
    QTimer::singleShot(1200, &service, [&] {
        other.start(QStringLiteral("paplay"), {QStringLiteral("--latency-msec=20"), writeTone(dir, 440, 4)});
    });
    const QString path = dir.filePath(QStringLiteral("late.mp4"));
    const Recording result = record(service, path, 4, settings);
    other.kill();
    other.waitForFinished();
    ASSERT_TRUE(result.finished) << result.errors.join(QLatin1Char('\n')).toStdString();

    const auto facts = readBack(path);
    ASSERT_TRUE(facts);
    ASSERT_TRUE(facts->audio);
    EXPECT_LT(facts->audioStart, 0.05) << "the sound track begins with the picture";
    EXPECT_GT(double(facts->sound.size()) / 48000, facts->duration - 0.5);
    EXPECT_GT(amplitudeAt(facts->sound, 440), 0.005) << "the late tone is there";

    FloatingWindows floating;
    floating.showVideo(QUrl::fromLocalFile(path), QStringLiteral("late"));
    auto *view = floating.windows().front()->findChild<VideoPlayerView *>();
    QMediaPlayer *player = view->player();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->mediaStatus() == QMediaPlayer::EndOfMedia; },
                                int(facts->duration * 1000) + 4000))
        << "stopped at " << player->position() << " of " << player->duration();
}
