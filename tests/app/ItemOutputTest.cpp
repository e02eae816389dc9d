// SPDX-License-Identifier: GPL-3.0-or-later
// Copy, export and pin of library items, through the real store, clipboard and save panel. The
// clipboard is the desktop's, so these run alone.
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppModel.h"
#include "app/ExportFiles.h"
#include "core/base/FileFailure.h"
#include "core/base/LibraryFailure.h"
#include "core/image/ImageCodec.h"
#include "platform/VideoInfo.h"
#include "support/Await.h"
#include "support/FileDialogAnswer.h"
#include "support/MovieWriter.h"

namespace tarn {
namespace {

const QString copied = QStringLiteral("클립보드에 복사했습니다.");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The chunk types of a PNG file in order.
QStringList pngChunks(const QByteArray &png)
{
    QStringList types;
    for (qsizetype at = 8; at + 8 <= png.size();) {
        const uint32_t length = (uint8_t(png[at]) << 24) | (uint8_t(png[at + 1]) << 16) | (uint8_t(png[at + 2]) << 8) |
            uint8_t(png[at + 3]);
        types << QString::fromLatin1(png.mid(at + 4, 4));
        at += 12 + qsizetype(length);
    }
    return types;
}

QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral(".tarnwick-*")}, QDir::Files | QDir::Hidden);
}

class ExclusiveItemOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        model_ = std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), false);
        test::await(model_->load());
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(QColor(30, 120, 200));
        image_ = model_->repository().insertImage(picture, "Shot", false, std::nullopt).result();
        EditDocument cropped;
        cropped.crop = UnitRect(0, 0, 0.5, 0.5);
        image_ = model_->repository().saveEdits(image_.id, "Shot", {}, cropped).result();
        const QString movie = dir_.filePath(QStringLiteral("clip.mp4"));
        test::writeMovie(movie, test::Movie{{test::VideoTrack{320, 240, 10, 10}}, 0});
        const VideoInfo info = VideoInfo::load(movie);
        video_ = model_->repository()
                     .insertVideo(movie, "clip", info.thumbnail, info.width, info.height, info.duration)
                     .result();
        model_->replace(image_);
        model_->replace(video_);
        out_ = dir_.filePath(QStringLiteral("out"));
        QDir().mkpath(out_);
    }

    void waitForStatus(const QString &status)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return model_->status() == status; }, 20000))
            << "status: " << model_->status().toStdString();
    }

    // Runs one export of `item`, choosing `files` in the save panel; what the panel proposed.
    test::DialogSeen exportThrough(const CaptureItem &item, const QStringList &files)
    {
        model_->exportItem(item);
        const auto seen = test::answerFileDialog(files);
        EXPECT_TRUE(seen.has_value()) << "no save panel";
        return seen.value_or(test::DialogSeen{});
    }

    QTemporaryDir dir_;
    std::unique_ptr<AppModel> model_;
    CaptureItem image_;
    CaptureItem video_;
    QString out_;
};

TEST_F(ExclusiveItemOutput, CopiesPutFlattenedPngOrACopiedFileOnTheClipboardEvenWhileBusy)
{
    const AppModel::BusyClaim busy = model_->claimBusy(); // a capture or an import is running

    model_->copyItem(image_);
    waitForStatus(copied);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->formats(), QStringList{QStringLiteral("image/png")});
    const QImage pasted = ImageCodec::read(data->data(QStringLiteral("image/png")));
    EXPECT_EQ(pasted.size(), QSize(200, 150)); // the saved crop, not the original

    model_->copyItem(video_);
    EXPECT_EQ(model_->status(), copied);
    data = QGuiApplication::clipboard()->mimeData();
    const QString original = model_->repository().originalURL(video_);
    ASSERT_EQ(data->urls().size(), 1);
    EXPECT_EQ(data->urls().front().toLocalFile(), original);
    EXPECT_EQ(data->data(QStringLiteral("x-special/gnome-copied-files")),
              "copy\n" + QUrl::fromLocalFile(original).toEncoded());
    EXPECT_FALSE(data->hasImage());

    // An original that can no longer be read: the error is shown and the clipboard keeps the video.
    QFile::remove(model_->repository().originalURL(image_));
    model_->copyItem(image_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->errorMessage().has_value(); }, 10000));
    EXPECT_EQ(model_->status(), *model_->errorMessage());
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->urls().size(), 1);
    EXPECT_TRUE(model_->isBusy());
}

TEST_F(ExclusiveItemOutput, ExportsWriteFlattenedFilesWithoutMetadataAndNeverIntoTheLibrary)
{
    const AppModel::BusyClaim busy = model_->claimBusy();
    QSignalSpy statuses(model_.get(), &AppModel::statusChanged);

    // PNG: the proposed name comes from the title; the file is the saved crop, no metadata chunk.
    test::DialogSeen seen = exportThrough(image_, {out_ + QStringLiteral("/out.png")});
    EXPECT_EQ(seen.proposedName, QStringLiteral("Shot.png"));
    EXPECT_EQ(seen.filters.size(), 2);
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    seen.picture.save(QStringLiteral(TARN_TEST_OUTPUT_DIR "/flows-export-panel.png"));
    waitForStatus(QStringLiteral("out.png을 내보냈습니다."));
    const QByteArray png = readAll(out_ + QStringLiteral("/out.png"));
    EXPECT_EQ(ImageCodec::read(png).size(), QSize(200, 150));
    for (const QString &chunk : pngChunks(png))
        EXPECT_TRUE(QStringList({QStringLiteral("IHDR"), QStringLiteral("IDAT"), QStringLiteral("IEND"),
                                 QStringLiteral("sRGB"), QStringLiteral("PLTE")})
                        .contains(chunk))
            << chunk.toStdString();

    // A name ending in JPG in capitals writes a JPEG, with no EXIF or XMP segment.
    exportThrough(image_, {out_ + QStringLiteral("/photo.JPG")});
    waitForStatus(QStringLiteral("photo.JPG을 내보냈습니다."));
    const QByteArray jpeg = readAll(out_ + QStringLiteral("/photo.JPG"));
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_FALSE(jpeg.contains("Exif") || jpeg.contains("http://ns.adobe.com/xap"));

    // Inside the library: the protection message and nothing written.
    const QString inside = model_->repository().root() + QStringLiteral("/Originals/escape.png");
    exportThrough(image_, {inside});
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->errorMessage().has_value(); }, 10000));
    EXPECT_EQ(*model_->errorMessage(), LibraryFailure::protectedExportLocation().description());
    EXPECT_FALSE(QFile::exists(inside));

    // A cancelled panel changes nothing.
    const qsizetype before = statuses.size();
    exportThrough(image_, {});
    QTest::qWait(200);
    EXPECT_EQ(statuses.size(), before);

    // Choosing the JPEG type in the panel changes the proposed name's extension.
    model_->exportItem(image_);
    QFileDialog *panel = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *candidate = qobject_cast<QFileDialog *>(widget); candidate && candidate->isVisible())
                    panel = candidate;
            return panel != nullptr;
        },
        10000));
    auto *types = panel->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    types->setCurrentIndex(1);
    Q_EMIT types->activated(1); // as a user's choice
    EXPECT_EQ(panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(), QStringLiteral("Shot.jpg"));
    panel->reject();

    // A video over an existing file: replaced, and no temporary file stays behind.
    const QString movie = out_ + QStringLiteral("/movie.mp4");
    QFile old(movie);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    seen = exportThrough(video_, {movie});
    EXPECT_EQ(seen.proposedName, QStringLiteral("clip.mp4"));
    waitForStatus(QStringLiteral("녹화 파일을 내보냈습니다."));
    EXPECT_EQ(readAll(movie), readAll(model_->repository().originalURL(video_)));
    EXPECT_TRUE(leftovers(out_).isEmpty());
    EXPECT_EQ(model_->exportsInFlight(), 0);
}

TEST_F(ExclusiveItemOutput, ExportWritesReplaceInOneStepOrLeaveTheDestinationAlone)
{
    const QString destination = out_ + QStringLiteral("/kept.mp4");
    QFile kept(destination);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("kept");
    kept.close();

    const struct {
        const char *name;
        std::function<void()> write;
    } failures[] = {
        {"missing source", [&] { ExportFiles::copyFile(out_ + QStringLiteral("/none.mp4"), destination); }},
        {"a folder in the way", [&] { ExportFiles::writeAtomically(out_, "bytes"); }},
        {"no such folder", [&] { ExportFiles::writeAtomically(out_ + QStringLiteral("/no/x.png"), "bytes"); }},
    };
    for (const auto &failure : failures) {
        EXPECT_THROW(failure.write(), FileFailure) << failure.name;
        EXPECT_EQ(readAll(destination), "kept") << failure.name;
        EXPECT_TRUE(leftovers(out_).isEmpty()) << failure.name;
    }
    ExportFiles::copyFile(destination, out_ + QStringLiteral("/../out/kept.mp4")); // onto itself
    EXPECT_EQ(readAll(destination), "kept");
    ExportFiles::writeAtomically(destination, "new");
    EXPECT_EQ(readAll(destination), "new");
    EXPECT_TRUE(leftovers(out_).isEmpty());
}

TEST_F(ExclusiveItemOutput, PinsShowTheFlattenedImageAndIgnoreVideos)
{
    model_->pin(video_);
    QTest::qWait(100);
    EXPECT_TRUE(model_->floating().windows().empty());
    model_->pin(image_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->floating().windows().empty(); }, 10000));
    QWidget *pin = model_->floating().windows().front();
    EXPECT_EQ(pin->objectName(), FloatingWindows::pinIdentifier);
    EXPECT_EQ(pin->size(), FloatingWindows::pinSize(QSize(200, 150)));
    EXPECT_TRUE(pin->windowTitle().endsWith(QStringLiteral("Shot")));
}

} // namespace
} // namespace tarn
