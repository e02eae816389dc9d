// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/base/AppError.h"
#include "platform/VideoFailure.h"
#include "platform/VideoInfo.h"
#include "support/MovieWriter.h"

namespace tarn {
namespace {

using TestSupport::Movie;
using TestSupport::VideoTrack;

class VideoInfoTest : public ::testing::Test {
protected:
    QString write(const QString &name, const Movie &movie)
    {
        const QString path = dir_.filePath(name);
        TestSupport::writeMovie(path, movie);
        return path;
    }

    static int stripLevel(const QImage &poster) { return qGray(poster.pixel(poster.width() / 2, 2)); }

    static void expectNoVideoTrack(const QString &path)
    {
        try {
            VideoInfo::load(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const AppError &error) {
            EXPECT_EQ(error.domain(), QStringLiteral("Tarnwick"));
            EXPECT_EQ(error.code(), 7);
            EXPECT_EQ(error.description(), QStringLiteral("재생 가능한 영상 트랙이 없습니다."));
        }
    }

    QTemporaryDir dir_;
};

// The size of the first video track, the duration, and a poster that fits 1280 points, taken
// a tenth of a second in, or at half the duration of a shorter clip.
TEST_F(VideoInfoTest, ReadsSizeDurationAndThePosterOfTheFirstVideoTrack)
{
    struct Case {
        const char *name;
        std::vector<VideoTrack> tracks;
        QSize size, poster;
        std::optional<double> duration;
        bool secondFrame; // the poster shows the second frame's strip
    };
    const Case cases[] = {
        {"clip.mp4", {VideoTrack{320, 240, 10, 10}}, {320, 240}, {320, 240}, 1.0, true}, // frame 1 is at 0.1 s
        {"short.mp4", {VideoTrack{160, 120, 2, 20}}, {160, 120}, {160, 120}, 0.1, true}, // the poster from 0.05 s
        {"uhd.mp4", {VideoTrack{3840, 2160, 2, 10}}, {3840, 2160}, {1280, 720}, {}, false},
        {"two.mp4", {VideoTrack{320, 240, 5, 10}, VideoTrack{640, 480, 5, 10}}, {320, 240}, {320, 240}, {}, false},
        // A region recording whose width is no multiple of the scaler's blocks.
        {"region.mp4", {VideoTrack{920, 340, 3, 10}}, {920, 340}, {920, 340}, {}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const VideoInfo info = VideoInfo::load(write(QString::fromLatin1(c.name), Movie{c.tracks, 0}));
        EXPECT_EQ(QSize(int(info.width), int(info.height)), c.size);
        if (c.duration) {
            EXPECT_NEAR(info.duration, *c.duration, 0.01);
        }
        ASSERT_EQ(info.thumbnail.size(), c.poster);
        if (c.secondFrame) {
            EXPECT_NEAR(stripLevel(info.thumbnail), TestSupport::stripStep * 1, 12);
        }
    }
}

TEST_F(VideoInfoTest, AQuarterTurnSwapsTheSizeAndThePosterIsUpright)
{
    const QString path = write(QStringLiteral("portrait.mp4"), Movie{{VideoTrack{320, 240, 3, 10, 90}}, 0});
    const VideoInfo info = VideoInfo::load(path);
    EXPECT_EQ(info.width, 240);
    EXPECT_EQ(info.height, 320);
    ASSERT_EQ(info.thumbnail.size(), QSize(240, 320));
    // Stored left (red) is displayed on top, stored right (blue) at the bottom.
    const QColor top = info.thumbnail.pixelColor(120, 100);
    const QColor bottom = info.thumbnail.pixelColor(120, 300);
    EXPECT_GT(top.red(), 200);
    EXPECT_LT(top.blue(), 60);
    EXPECT_GT(bottom.blue(), 200);
    EXPECT_LT(bottom.red(), 60);
}

TEST_F(VideoInfoTest, AudioOnlyAndEmptyMoviesHaveNoPlayableVideoTrack)
{
    const QString voice = write(QStringLiteral("voice.m4a"), Movie{{}, 1.0});
    expectNoVideoTrack(voice);
    QFuture<VideoInfo> background = VideoInfo::loadAsync(voice); // the same error off the GUI thread
    EXPECT_THROW(background.waitForFinished(), AppError);
    expectNoVideoTrack(write(QStringLiteral("empty.mp4"), Movie{{VideoTrack{320, 240, 0, 10}}, 0}));
}

TEST_F(VideoInfoTest, MissingAndNonMovieFilesReportTheMediaLibrariesReason)
{
    EXPECT_THROW(VideoInfo::load(dir_.filePath(QStringLiteral("missing.mp4"))), VideoFailure);
    QFile text(dir_.filePath(QStringLiteral("notes.mp4")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not a movie at all\n");
    text.close();
    try {
        VideoInfo::load(text.fileName());
        ADD_FAILURE() << "a text file was read as a movie";
    } catch (const VideoFailure &failure) {
        EXPECT_EQ(failure.description(),
                  QStringLiteral("영상 파일을 열 수 없습니다. 영상 파일이 아니거나 손상된 파일입니다."));
    } catch (const AppError &error) {
        EXPECT_EQ(error.code(), 7);
    }
}

} // namespace
} // namespace tarn
