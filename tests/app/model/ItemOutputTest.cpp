// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, export and pin of library items through the real store, renderer, clipboard and save
// panel, each output decoded and compared with the renderer's own flattening of the saved edits.
// The clipboard is the desktop's, so these run alone.
#include <algorithm>
#include <cstdlib>

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/floating/PinView.h"
#include "app/flows/ExportFiles.h"
#include "app/model/AppModel.h"
#include "core/base/FileFailure.h"
#include "core/base/LibraryFailure.h"
#include "core/image/ImageCodec.h"
#include "core/render/RasterRenderer.h"
#include "platform/VideoInfo.h"
#include "support/Await.h"
#include "support/FileDialogAnswer.h"
#include "support/MovieWriter.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

mode_t modeOf(const QString &path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ExclusiveItemOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::await(model.load());
        image = model.repository().insertImage(picture, "Shot", false, std::nullopt).result();
        image = model.repository().saveEdits(image.id, "Shot", {}, edits).result();
        const QString movie = dir.filePath(QStringLiteral("clip.mp4"));
        TestSupport::writeMovie(movie, TestSupport::Movie{{TestSupport::VideoTrack{320, 240, 10, 10}}, 0});
        const VideoInfo info = VideoInfo::load(movie);
        video = model.repository()
                    .insertVideo(movie, "clip", info.thumbnail, info.width, info.height, info.duration)
                    .result();
        QDir().mkpath(out);
    }

    void exportThrough(const CaptureItem &item, const QString &file, const QString &status,
                       const QString &proposed = {})
    {
        model.exportItem(item);
        const std::optional<QString> seen = TestSupport::answerFileDialog({file});
        EXPECT_TRUE(proposed.isEmpty() || seen == proposed) << seen.value_or(QString()).toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model.status() == status || model.errorMessage() == status; }, 20000))
            << model.status().toStdString();
    }

    // Whether an image that left the application shows the saved edits as the renderer draws
    // them, every channel of every pixel within a rounding step.
    ::testing::AssertionResult showsTheEdits(const QImage &shown) const
    {
        const QImage expected = RasterRenderer::render(picture, edits).convertToFormat(QImage::Format_ARGB32);
        const QImage actual = shown.convertToFormat(QImage::Format_ARGB32);
        if (actual.size() != expected.size())
            return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height();
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
                if (std::max({std::abs(qRed(a) - qRed(e)), std::abs(qGreen(a) - qGreen(e)),
                              std::abs(qBlue(a) - qBlue(e)), std::abs(qAlpha(a) - qAlpha(e))}) > 2)
                    return ::testing::AssertionFailure() << "differs at " << x << "," << y;
            }
        }
        return ::testing::AssertionSuccess();
    }

    // A textured capture, cropped to its top left quarter with a blur patch and an arrow in it.
    static EditDocument makeEdits()
    {
        EditDocument document;
        document.crop = UnitRect(0, 0, 0.5, 0.5);
        document.annotations = {RenderFixtures::mark(MarkupTool::blur, {UnitPoint(0.05, 0.1), UnitPoint(0.3, 0.3)}),
                                RenderFixtures::mark(MarkupTool::arrow, {UnitPoint(0.1, 0.4), UnitPoint(0.4, 0.2)})};
        return document;
    }

    QTemporaryDir dir;
    AppModel model{dir.filePath(QStringLiteral("library")), false};
    const QImage picture = RenderFixtures::capture(400, 300, false);
    const EditDocument edits = makeEdits();
    CaptureItem image, video;
    QString out = dir.filePath(QStringLiteral("out"));
};

// Copies and pins show the saved edits pixel for pixel (a copy as PNG alone) and a video is
// offered as its file for copying, while another command keeps the model busy; a lost original
// shows its error.
TEST_F(ExclusiveItemOutput, CopiesAndPinsWorkWhileBusyWithTheSavedEdits)
{
    const AppModel::BusyClaim busy = model.claimBusy();
    model.copyItem(image);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.status() == QStringLiteral("클립보드에 복사했습니다."); }, 10000));
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->formats(), QStringList{QStringLiteral("image/png")});
    EXPECT_TRUE(showsTheEdits(ImageCodec::read(data->data(QStringLiteral("image/png")))));

    model.copyItem(video);
    data = QGuiApplication::clipboard()->mimeData();
    const QUrl original = QUrl::fromLocalFile(model.repository().originalURL(video));
    EXPECT_EQ(data->urls(), QList<QUrl>{original});
    EXPECT_EQ(data->data(QStringLiteral("x-special/gnome-copied-files")), "copy\n" + original.toEncoded());

    model.pin(video);
    model.pin(image);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.floating().windows().empty(); }, 10000));
    ASSERT_EQ(model.floating().windows().size(), 1u);
    EXPECT_EQ(model.floating().windows().front()->size(), FloatingWindows::pinSize(QSize(200, 150)));
    const auto *pinned = model.floating().windows().front()->findChild<FittedImage *>();
    ASSERT_TRUE(pinned);
    EXPECT_TRUE(showsTheEdits(pinned->image()));

    QFile::remove(model.repository().originalURL(image));
    model.copyItem(image);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.errorMessage().has_value(); }, 10000));
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->urls(), QList<QUrl>{original});
}

// Exports: PNG with the saved edits' pixels and without metadata chunks, JPEG for ".JPG", refused
// inside the library, a video over an existing file, a type switch in the panel; no temporary
// file ever stays.
TEST_F(ExclusiveItemOutput, ExportsWriteFlattenedFilesWithoutMetadataAndNeverIntoTheLibrary)
{
    exportThrough(image, out + QStringLiteral("/out.png"), QStringLiteral("out.png을 내보냈습니다."),
                  QStringLiteral("Shot.png"));
    const QByteArray png = readAll(out + QStringLiteral("/out.png"));
    EXPECT_TRUE(showsTheEdits(ImageCodec::read(png)));
    for (const char *chunk : {"tEXt", "iTXt", "zTXt", "eXIf", "tIME"})
        EXPECT_FALSE(png.contains(chunk)) << chunk;
    exportThrough(image, out + QStringLiteral("/photo.JPG"), QStringLiteral("photo.JPG을 내보냈습니다."));
    const QByteArray jpeg = readAll(out + QStringLiteral("/photo.JPG"));
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8") && !jpeg.contains("Exif") && !jpeg.contains("http://ns.adobe.com/xap"));
    const QString inside = model.repository().root() + QStringLiteral("/Originals/escape.png");
    exportThrough(image, inside, LibraryFailure::protectedExportLocation().description());
    EXPECT_FALSE(QFile::exists(inside));

    const QString movie = out + QStringLiteral("/movie.mp4");
    ExportFiles::writeAtomically(movie, "old contents");
    exportThrough(video, movie, QStringLiteral("녹화 파일을 내보냈습니다."), QStringLiteral("clip.mp4"));
    EXPECT_EQ(readAll(movie), readAll(model.repository().originalURL(video)));
    EXPECT_THROW(ExportFiles::copyFile(out + QStringLiteral("/none.mp4"), movie), FileFailure);
    const QString pipe = out + QStringLiteral("/pipe.mp4"); // an original replaced by a pipe nobody writes
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_THROW(ExportFiles::copyFile(pipe, movie), FileFailure);
    EXPECT_THROW(ExportFiles::writeAtomically(out, "a folder in the way"), FileFailure);
    EXPECT_EQ(readAll(movie), readAll(model.repository().originalURL(video)));
    EXPECT_TRUE(QDir(out).entryList({QStringLiteral(".tarnwick-*")}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(model.exportsInFlight(), 0);

    // An imported Matroska movie is offered under its own name only, never as an MPEG-4 file.
    const QString matroska = dir.filePath(QStringLiteral("talk.mkv"));
    ExportFiles::writeAtomically(matroska, QByteArray("\x1A\x45\xDF\xA3", 4) + QByteArray(60, 'm'));
    const CaptureItem talk =
        model.repository().insertVideo(matroska, "talk", QImage(8, 8, QImage::Format_RGB32), 8, 8, 1).result();
    model.exportItem(talk);
    QFileDialog *moviePanel = TestSupport::nextFileDialog();
    ASSERT_TRUE(moviePanel);
    EXPECT_EQ(moviePanel->nameFilters(), QStringList{QStringLiteral("Matroska 동영상 (*.mkv)")});
    moviePanel->reject();
    QTest::qWait(50);
    exportThrough(talk, out + QStringLiteral("/talk.mkv"), QStringLiteral("녹화 파일을 내보냈습니다."),
                  QStringLiteral("talk.mkv"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return readAll(out + QStringLiteral("/talk.mkv")) == readAll(matroska); }, 10000));

    model.exportItem(image);
    QFileDialog *panel = TestSupport::nextFileDialog();
    ASSERT_TRUE(panel);
    auto *types = panel->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    types->setCurrentIndex(1);
    Q_EMIT types->activated(1); // as the user's choice
    EXPECT_EQ(panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(), QStringLiteral("Shot.jpg"));
    const QString before = model.status();
    panel->reject();
    QTest::qWait(100);
    EXPECT_EQ(model.status(), before);
}

// An exported video is the user's file, with the mode an exported image gets, whether it is new
// or replaces a file of another mode; the library's original keeps its private mode.
TEST_F(ExclusiveItemOutput, AnExportedVideoGetsTheModeOfAnyExportNotTheLibrarysPrivateOne)
{
    // The usual umask, whatever the test run was started with.
    const mode_t previousMask = ::umask(022);
    const auto restoreMask = qScopeGuard([previousMask] { ::umask(previousMask); });
    exportThrough(image, out + QStringLiteral("/picture.png"), QStringLiteral("picture.png을 내보냈습니다."));
    const mode_t usual = modeOf(out + QStringLiteral("/picture.png"));
    const mode_t original = modeOf(model.repository().originalURL(video));
    ASSERT_NE(usual, original) << "the library keeps originals private";
    const struct {
        const char *name;
        std::optional<mode_t> existing;
    } cases[] = {{"new.mp4", std::nullopt}, {"shared.mp4", 0644}, {"private.mp4", 0600}, {"open.mp4", 0666}};
    for (const auto &c : cases) {
        const QString path = out + u'/' + QLatin1String(c.name);
        if (c.existing) {
            ExportFiles::writeAtomically(path, "old contents");
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), *c.existing), 0);
        }
        exportThrough(video, path, QStringLiteral("녹화 파일을 내보냈습니다."));
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return model.exportsInFlight() == 0 && readAll(path) == readAll(model.repository().originalURL(video));
        })) << c.name;
        EXPECT_EQ(modeOf(path), usual) << c.name;
        model.setErrorMessage(std::nullopt);
        QTest::qWait(50);
    }
    EXPECT_EQ(modeOf(model.repository().originalURL(video)), original);
}

} // namespace
} // namespace tarn
