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

TEST_F(VideoInfoTest, ReadsSizeDurationAndThePosterAtATenthOfASecond)
{
    const QString path = write(QStringLiteral("clip.mp4"), Movie{{VideoTrack{320, 240, 10, 10}}, 0});
    const VideoInfo info = VideoInfo::load(path);
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);
    EXPECT_NEAR(info.duration, 1.0, 0.01);
    ASSERT_EQ(info.thumbnail.size(), QSize(320, 240));
    EXPECT_NEAR(stripLevel(info.thumbnail), TestSupport::stripStep * 1, 12); // frame 1 is at 0.1 s
    const QColor left = info.thumbnail.pixelColor(40, 200);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.blue(), 60);
}

TEST_F(VideoInfoTest, AShortClipTakesItsPosterFromHalfItsDuration)
{
    // Two frames at 20 fps: 0.1 s long, so the poster comes from 0.05 s, the second frame.
    const QString path = write(QStringLiteral("short.mp4"), Movie{{VideoTrack{160, 120, 2, 20}}, 0});
    const VideoInfo info = VideoInfo::load(path);
    EXPECT_NEAR(info.duration, 0.1, 0.01);
    EXPECT_NEAR(stripLevel(info.thumbnail), TestSupport::stripStep * 1, 12);
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

TEST_F(VideoInfoTest, A4KMovieKeepsItsSizeWhileThePosterFits1280)
{
    const QString path = write(QStringLiteral("uhd.mp4"), Movie{{VideoTrack{3840, 2160, 2, 10}}, 0});
    const VideoInfo info = VideoInfo::load(path);
    EXPECT_EQ(info.width, 3840);
    EXPECT_EQ(info.height, 2160);
    EXPECT_EQ(info.thumbnail.size(), QSize(1280, 720));
}

TEST_F(VideoInfoTest, TheFirstOfSeveralVideoTracksIsMeasured)
{
    const QString path =
        write(QStringLiteral("two.mp4"), Movie{{VideoTrack{320, 240, 5, 10}, VideoTrack{640, 480, 5, 10}}, 0});
    const VideoInfo info = VideoInfo::load(path);
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);
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
        EXPECT_TRUE(failure.description().startsWith(QStringLiteral("영상 파일을 열 수 없습니다.")));
    } catch (const AppError &error) {
        EXPECT_EQ(error.code(), 7);
    }
}

} // namespace
} // namespace tarn
