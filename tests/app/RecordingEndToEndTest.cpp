// Real recordings under Xvfb: a moving pattern recorded with the FFmpeg/X11/PulseAudio recorder
// and read back with libavformat.
#include <csignal>
#include <optional>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <qcoro/qcorotask.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include "app/RecordingService.h"

using namespace tarn;

namespace {

struct VideoFacts {
    int width = 0, height = 0;
    int64_t frames = 0;
    double duration = 0;
    bool audio = false;
};

// Reads the file back the way a player would: every video packet counted.
std::optional<VideoFacts> readBack(const QString &path)
{
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    VideoFacts facts;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        const int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        facts.audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
        if (video >= 0) {
            const AVStream *stream = format->streams[video];
            facts.width = stream->codecpar->width;
            facts.height = stream->codecpar->height;
            AVPacket *packet = av_packet_alloc();
            int64_t last = 0;
            while (av_read_frame(format, packet) >= 0) {
                if (packet->stream_index == video) {
                    ++facts.frames;
                    last = std::max(last, packet->pts + packet->duration);
                }
                av_packet_unref(packet);
            }
            av_packet_free(&packet);
            facts.duration = double(last) * av_q2d(stream->time_base);
        }
    }
    avformat_close_input(&format);
    return facts;
}

// A window whose content changes every frame: a bar sweeping across a gradient.
class MovingPattern : public QWidget {
public:
    MovingPattern()
    {
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setGeometry(0, 0, 640, 360);
        timer_.setInterval(16);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            ++tick_;
            update();
        });
        timer_.start();
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor::fromHsv(tick_ * 3 % 360, 120, 160));
        p.fillRect((tick_ * 7) % width(), 0, 40, height(), Qt::white);
        p.drawText(20, 40, QString::number(tick_));
    }

private:
    QTimer timer_;
    int tick_ = 0;
};

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
Recording record(RecordingService &service, const QString &path, double seconds,
                 RecordingSettings settings)
{
    Recording result;
    service.onFinish = [&](const QString &file) { result.finished = file; };
    service.onError = [&](const Failure &error) { result.errors << error.description(); };
    QCoro::waitFor(service.start(wholeScreen(), QRectF(0, 0, 640, 360), settings, path));
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(int(seconds * 1000));
    QCoro::waitFor(service.stop());
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.finished || !result.errors.isEmpty(); }, 20000));
    return result;
}

bool haveSoundServer()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished() && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

bool haveDisplay()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

TEST(RecordingEndToEnd, FiveSecondsAtThirtyFramesReadBackWithSizeFramesAndDuration)
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
    using S = RecordingService::State;
    EXPECT_EQ(states, (std::vector<S>{S::starting, S::recording, S::stopping, S::idle}));

    const auto facts = readBack(path);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->width, 640);
    EXPECT_EQ(facts->height, 360);
    EXPECT_FALSE(facts->audio);
    EXPECT_NEAR(double(facts->frames), 150.0, 150.0 * 0.08);
    EXPECT_NEAR(facts->duration, 5.0, 5.0 * 0.05);
}

TEST(RecordingEndToEnd, SystemAudioAddsAnAudioTrackAndRegionIsCutAndCapped)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    if (!haveSoundServer())
        GTEST_SKIP() << "needs a PulseAudio server (scripts/with-desktop.sh starts one)";
    MovingPattern pattern;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sound.mp4"));
    RecordingService service;
    RecordingSettings settings;
    settings.frameRate = 30;
    settings.systemAudio = true;
    settings.recordingLongEdge = 1920;
    Recording result;
    service.onFinish = [&](const QString &file) { result.finished = file; };
    service.onError = [&](const Failure &error) { result.errors << error.description(); };
    // A region reaching past the right and bottom edges records only the visible part.
    QCoro::waitFor(service.start(wholeScreen(), QRectF(1500.5, 700, 1000, 900), settings, path));
    QTest::qWait(2000);
    QCoro::waitFor(service.stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.finished || !result.errors.isEmpty(); }, 20000));
    ASSERT_TRUE(result.finished) << result.errors.join(QLatin1Char('\n')).toStdString();

    const auto facts = readBack(path);
    ASSERT_TRUE(facts);
    EXPECT_TRUE(facts->audio);
    EXPECT_EQ(facts->width, 418);  // 419.5 points wide, rounded down to even
    EXPECT_EQ(facts->height, 380);
    EXPECT_GT(facts->frames, 40);
}

// Run by the next test in a child process: records until it is killed.
TEST(RecordingEndToEnd, ChildRecordsUntilKilled)
{
    const QString path = qEnvironmentVariable("TARN_RECORD_UNTIL_KILLED");
    if (path.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledRecordingLeavesAPlayableFile";
    MovingPattern pattern;
    RecordingService service;
    RecordingSettings settings;
    settings.frameRate = 30;
    settings.systemAudio = haveSoundServer();
    QCoro::waitFor(service.start(wholeScreen(), QRectF(0, 0, 640, 360), settings, path));
    QTest::qWait(60'000);
    FAIL() << "was not killed";
}

TEST(RecordingEndToEnd, KilledRecordingLeavesAPlayableFile)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed.mp4"));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARN_RECORD_UNTIL_KILLED"), path);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RecordingEndToEnd.ChildRecordsUntilKilled")});
    ASSERT_TRUE(child.waitForStarted());
    // Halfway through a recording of several fragments.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(path).size() > 20'000; }, 15'000));
    QTest::qWait(2500);
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished());

    const auto facts = readBack(path);
    ASSERT_TRUE(facts) << "the cut-off file does not open";
    EXPECT_EQ(facts->width, 640);
    EXPECT_EQ(facts->height, 360);
    EXPECT_GE(facts->frames, 30);
    EXPECT_GE(facts->duration, 1.0);
}
