// SPDX-License-Identifier: GPL-3.0-or-later
// Adding images and movies and saving edits: the stored files, the index, and the clean-up when
// a step fails.
#include <QImageReader>
#include <QPainter>
#include <QProcess>

#include "core/base/FileFailure.h"
#include "core/base/ImageFailure.h"
#include "core/image/ImageCodec.h"
#include "core/library/LibraryStore.h"
#include "support/LibraryTestSupport.h"

using namespace tarn;
using namespace tarn::TestSupport;

namespace {

QImage screenshot(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(250, 250, 250));
    QPainter painter(&image);
    painter.fillRect(QRect(width / 4, height / 4, width / 2, height / 2), QColor(40, 120, 220));
    return image;
}

QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System); }

// Replaces a library subfolder by a plain file so that writing into it fails (also as root).
void blockFolder(const LibraryFolder &folder, const QString &name)
{
    QDir(folder.path(name)).removeRecursively();
    writeBytes(folder.path(name), "in the way");
}

} // namespace

TEST(LibraryInsert, ImagesAreStoredPrivatelyNewestFirst)
{
    LibraryFolder folder;
    LibraryStore store(folder.root());
    const QImage image = screenshot(1920, 1080);
    const Date before = Date::now();
    const CaptureItem first = store.insertImage(image, "첫 캡처", false, 123.5);

    EXPECT_EQ(first.title, "첫 캡처");
    EXPECT_EQ(first.kind, CaptureKind::image);
    EXPECT_EQ(first.filename, first.id.toString() + ".png");
    EXPECT_EQ(first.thumbnailFilename, first.id.toString() + ".jpg");
    EXPECT_EQ(first.width, 1920);
    EXPECT_EQ(first.height, 1080);
    EXPECT_GE(first.createdAt, before);
    EXPECT_EQ(first.captureMilliseconds, 123.5);
    EXPECT_FALSE(first.duration);
    EXPECT_FALSE(first.isFavorite || first.isSample || first.trashedAt);
    EXPECT_TRUE(first.tags.empty() && first.recognizedText.empty() && first.textRegions.empty());
    EXPECT_EQ(first.edits, EditDocument::initial());

    const QString original = store.originalURL(first);
    EXPECT_EQ(QFileInfo(original).size(), first.byteCount);
    EXPECT_EQ(modeOf(original), 0600);
    EXPECT_EQ(modeOf(store.thumbnailURL(first)), 0600);
    EXPECT_EQ(modeOf(folder.index()), 0600);
    const QImage stored(original);
    EXPECT_EQ(stored.size(), image.size());
    EXPECT_EQ(stored.pixelColor(960, 540), QColor(40, 120, 220));
    QImageReader thumbnail(store.thumbnailURL(first));
    EXPECT_EQ(thumbnail.format(), "jpeg");
    EXPECT_EQ(thumbnail.size(), QSize(720, 405));

    const CaptureItem second = store.insertImage(screenshot(10, 10), "두 번째", true, std::nullopt);
    EXPECT_TRUE(second.isSample);
    EXPECT_FALSE(second.captureMilliseconds);
    const std::vector<CaptureItem> reread = LibraryStore(folder.root()).load();
    ASSERT_EQ(reread.size(), 2u);
    EXPECT_EQ(reread[0], second);
    EXPECT_EQ(reread[1], first);
}

TEST(LibraryInsert, AnImageOfInvalidSizeWritesNothing)
{
    LibraryFolder folder;
    LibraryStore store(folder.root());
    EXPECT_THROW(store.insertImage(QImage(), "empty", false, std::nullopt), ImageFailure);
    try {
        store.insertImage(QImage(16385, 1, QImage::Format_ARGB32), "wide", false, std::nullopt);
        ADD_FAILURE() << "stored";
    } catch (const ImageFailure &failure) {
        EXPECT_EQ(failure.kind(), ImageFailure::Case::tooLarge);
    }
    EXPECT_TRUE(filesIn(folder.path(QStringLiteral("Originals"))).isEmpty());
    EXPECT_TRUE(filesIn(folder.path(QStringLiteral("Thumbnails"))).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder.index()));
}

TEST(LibraryInsert, AFailedStepRemovesTheFilesAlreadyWritten)
{
    LibraryFolder folder;
    LibraryStore store(folder.root());
    const CaptureItem kept = store.insertImage(screenshot(64, 48), "kept", false, std::nullopt);
    const QByteArray index = readBytes(folder.index());

    blockFolder(folder, QStringLiteral("Thumbnails"));
    EXPECT_THROW(store.insertImage(screenshot(64, 48), "lost", false, std::nullopt), FileFailure);
    EXPECT_EQ(filesIn(folder.path(QStringLiteral("Originals"))), QStringList{QString::fromStdString(kept.filename)});
    EXPECT_EQ(readBytes(folder.index()), index);
    EXPECT_EQ(store.load(), std::vector<CaptureItem>{kept});

    // The index write itself fails: both new files go again.
    QFile::remove(folder.path(QStringLiteral("Thumbnails")));
    QDir().mkpath(folder.path(QStringLiteral("Thumbnails")));
    QFile::remove(folder.index());
    QDir().mkpath(folder.path(QStringLiteral("library.json/blocker")));
    EXPECT_THROW(store.insertImage(screenshot(64, 48), "lost", false, std::nullopt), FileFailure);
    EXPECT_EQ(filesIn(folder.path(QStringLiteral("Originals"))).size(), 1);
    EXPECT_TRUE(filesIn(folder.path(QStringLiteral("Thumbnails"))).isEmpty());
    EXPECT_EQ(store.load().size(), 1u);
}

class LibraryVideo : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        movies = new QTemporaryDir;
        // name, ffmpeg muxer, codec
        const std::vector<std::array<const char *, 3>> made{
            {"clip.mp4", "mp4", "mpeg4"},      {"clip.MOV", "mov", "mpeg4"},
            {"clip.m4v", "mp4", "mpeg4"},      {"clip", "mp4", "mpeg4"},
            {"clip.mkv", "matroska", "mpeg4"}, {"clip.webm", "webm", "libvpx"},
            {"clip.avi", "avi", "mpeg4"},      {"matroska-named.mp4", "matroska", "mpeg4"},
        };
        for (const auto &[name, muxer, codec] : made) {
            QProcess ffmpeg;
            ffmpeg.start(QStringLiteral("ffmpeg"),
                         {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                          QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                          QStringLiteral("color=c=red:s=64x48:d=0.2:r=10"), QStringLiteral("-c:v"),
                          QLatin1String(codec), QStringLiteral("-f"), QLatin1String(muxer),
                          movies->filePath(QLatin1String(name))});
            ffmpeg.waitForFinished(30000);
        }
    }
    static void TearDownTestSuite() { delete movies; }
    static QString movie(const char *name) { return movies->filePath(QLatin1String(name)); }
    static inline QTemporaryDir *movies = nullptr;
};

TEST_F(LibraryVideo, MoviesAreCopiedWithTheirContainersExtension)
{
    const std::vector<std::pair<const char *, const char *>> expected{
        {"clip.mp4", "mp4"}, {"clip.MOV", "mov"},   {"clip.m4v", "mp4"}, {"clip", "mp4"},
        {"clip.mkv", "mkv"}, {"clip.webm", "webm"}, {"clip.avi", "avi"}, {"matroska-named.mp4", "mkv"},
    };
    LibraryFolder folder;
    LibraryStore store(folder.root());
    for (const auto &[name, extension] : expected) {
        SCOPED_TRACE(name);
        const QString source = movie(name);
        ASSERT_TRUE(QFileInfo::exists(source)) << "ffmpeg could not make the test movie";
        const QByteArray sourceHash = sha256(source);
        const CaptureItem item = store.insertVideo(source, "영상", screenshot(640, 480), 64, 48, 0.2);
        EXPECT_EQ(item.filename, item.id.toString() + "." + extension);
        EXPECT_EQ(item.kind, CaptureKind::video);
        EXPECT_EQ(item.byteCount, QFileInfo(source).size());
        EXPECT_EQ(item.width, 64);
        EXPECT_EQ(item.height, 48);
        EXPECT_EQ(item.duration, 0.2);
        EXPECT_FALSE(item.captureMilliseconds || item.isSample);
        EXPECT_EQ(sha256(store.originalURL(item)), sourceHash);
        EXPECT_EQ(modeOf(store.originalURL(item)), 0600);
        EXPECT_EQ(QImageReader(store.thumbnailURL(item)).size(), QSize(640, 480));
        EXPECT_EQ(sha256(source), sourceHash) << "the source stays where it is";
    }
    EXPECT_EQ(LibraryStore(folder.root()).load().size(), expected.size());
}

TEST_F(LibraryVideo, AFailedCopyOrThumbnailLeavesNothing)
{
    LibraryFolder folder;
    LibraryStore store(folder.root());
    store.load();
    EXPECT_THROW(store.insertVideo(movie("missing.mp4"), "x", screenshot(8, 8), 8, 8, 1), FileFailure);
    blockFolder(folder, QStringLiteral("Thumbnails"));
    EXPECT_THROW(store.insertVideo(movie("clip.mp4"), "x", screenshot(8, 8), 8, 8, 1), FileFailure);
    EXPECT_TRUE(filesIn(folder.path(QStringLiteral("Originals"))).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder.index()));
    EXPECT_TRUE(store.load().empty());
}

TEST(LibrarySaveEdits, ReplacesTheThumbnailAndNeverTheOriginal)
{
    LibraryFolder folder;
    LibraryStore store(folder.root());
    const CaptureItem item = store.insertImage(screenshot(800, 600), "원래 제목", false, std::nullopt);
    const QString original = store.originalURL(item);
    const QByteArray originalHash = sha256(original);
    const QString oldThumbnail = store.thumbnailURL(item);

    EditDocument document = EditDocument::initial();
    document.annotations.push_back(
        Annotation::redaction(TextRegion{Uuid::random(), "secret", UnitRect(0.05, 0.05, 0.15, 0.15), 1.0f}));
    const CaptureItem edited = store.saveEdits(item.id, "  \n ", {"업무", "draft"}, document);
    EXPECT_EQ(edited.title, "원래 제목") << "a blank title keeps the previous one";
    EXPECT_EQ(edited.tags, (std::vector<std::string>{"업무", "draft"}));
    EXPECT_EQ(edited.edits, document);
    EXPECT_EQ(edited.filename, item.filename);
    const std::string prefix = item.id.toString() + "-";
    ASSERT_EQ(edited.thumbnailFilename.rfind(prefix, 0), 0u);
    EXPECT_TRUE(Uuid::parse(edited.thumbnailFilename.substr(prefix.size(), 36)));
    EXPECT_EQ(edited.thumbnailFilename.substr(prefix.size() + 36), ".jpg");
    EXPECT_FALSE(QFileInfo::exists(oldThumbnail));
    EXPECT_EQ(modeOf(store.thumbnailURL(edited)), 0600);

    const QImage thumbnail(store.thumbnailURL(edited));
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_LE(std::max(thumbnail.width(), thumbnail.height()), 720);
    EXPECT_LT(qGray(thumbnail.pixel(thumbnail.width() * 12 / 100, thumbnail.height() * 12 / 100)), 60)
        << "the redaction shows";

    const CaptureItem renamed = store.saveEdits(item.id, "  새 제목  ", {}, document);
    EXPECT_EQ(renamed.title, "  새 제목  ");
    EXPECT_FALSE(QFileInfo::exists(store.thumbnailURL(edited)));
    EXPECT_EQ(LibraryStore(folder.root()).load(), std::vector<CaptureItem>{renamed});
    store.setFavorite(item.id, true);
    store.setTrashed(item.id, true);
    EXPECT_EQ(sha256(original), originalHash);
    EXPECT_EQ(filesIn(folder.path(QStringLiteral("Thumbnails"))).size(), 1);
}

TEST(LibrarySaveEdits, AFailedSaveKeepsThePreviousThumbnailAndIndex)
{
    LibraryFolder folder;
    LibraryStore store(folder.root());
    const CaptureItem item = store.insertImage(screenshot(64, 48), "a", false, std::nullopt);
    EXPECT_EQ(failureOf([&] { store.saveEdits(Uuid::random(), "x", {}, {}); }), LibraryFailure::Case::missingItem);

    const QByteArray index = readBytes(folder.index());
    QFile::remove(folder.index());
    QDir().mkpath(folder.path(QStringLiteral("library.json/blocker")));
    EXPECT_THROW(store.saveEdits(item.id, "b", {"t"}, {}), FileFailure);
    EXPECT_EQ(filesIn(folder.path(QStringLiteral("Thumbnails"))),
              QStringList{QString::fromStdString(item.thumbnailFilename)});
    EXPECT_EQ(store.load(), std::vector<CaptureItem>{item});

    // An original that cannot be decoded: nothing is written.
    QDir(folder.index()).removeRecursively();
    writeBytes(folder.index(), index);
    writeBytes(store.originalURL(item), "not an image");
    EXPECT_THROW(store.saveEdits(item.id, "b", {}, {}), ImageFailure);
    EXPECT_EQ(readBytes(folder.index()), index);
    EXPECT_EQ(filesIn(folder.path(QStringLiteral("Thumbnails"))).size(), 1);
}
