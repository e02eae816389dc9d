// SPDX-License-Identifier: GPL-3.0-or-later
// Changing items without images: recognition, favourites, trash and restore, recordings and the
// export-destination check.
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>

#include "core/base/FileFailure.h"
#include "core/library/LibraryIndex.h"
#include "core/library/LibraryStore.h"
#include "support/Allocations.h"
#include "support/LibraryTestSupport.h"

using namespace tarn;
using namespace tarn::TestSupport;
using Case = LibraryFailure::Case;

namespace {

struct Library {
    LibraryFolder folder;
    std::vector<CaptureItem> items{makeItem("first"), makeItem("second"), makeItem("third"), makeItem("fourth")};
    LibraryStore store{folder.root()};

    Library()
    {
        folder.writeIndex(items);
        store.load();
    }
    std::vector<CaptureItem> reread() const { return LibraryStore(folder.root()).load(); }
};

TextRegion region(const std::string &text) { return {Uuid::random(), text, UnitRect(0.1, 0.2, 0.3, 0.05), 0.9f}; }

} // namespace

TEST(LibraryOperations, RecognitionStoresTextAndRegionsButNotTheTime)
{
    Library library;
    RecognitionResult result{{region("안녕하세요"), region("Hello")}, 812.5};
    const CaptureItem changed = library.store.updateRecognition(library.items[1].id, result);
    EXPECT_EQ(changed.recognizedText, "안녕하세요\nHello");
    EXPECT_EQ(changed.textRegions, result.regions);
    CaptureItem expected = library.items[1];
    expected.recognizedText = changed.recognizedText;
    expected.textRegions = result.regions;
    EXPECT_EQ(changed, expected) << "every other field stays";
    EXPECT_EQ(library.reread()[1], changed);
    EXPECT_EQ(library.store.load()[1], changed);
}

TEST(LibraryOperations, FavouriteIsStoredAndUnknownItemsChangeNothing)
{
    Library library;
    EXPECT_TRUE(library.store.setFavorite(library.items[2].id, true).isFavorite);
    EXPECT_TRUE(library.reread()[2].isFavorite);
    EXPECT_FALSE(library.store.setFavorite(library.items[2].id, false).isFavorite);

    const QByteArray before = readBytes(library.folder.index());
    const ino_t inode = inodeOf(library.folder.index());
    EXPECT_EQ(failureOf([&] { library.store.setFavorite(Uuid::random(), true); }), Case::missingItem);
    EXPECT_EQ(failureOf([&] { library.store.updateRecognition(Uuid::random(), {}); }), Case::missingItem);
    EXPECT_EQ(failureOf([&] { library.store.setTrashed(Uuid::random(), true); }), Case::missingItem);
    // One unknown id among known ones trashes none of them; no ids at all is nothing to write.
    EXPECT_EQ(failureOf([&] {
                  library.store.setTrashed({library.items[0].id, Uuid::random()}, true);
              }),
              Case::missingItem);
    EXPECT_FALSE(library.store.load()[0].trashedAt);
    EXPECT_TRUE(library.store.setTrashed(std::unordered_set<Uuid>{}, true).empty());
    EXPECT_EQ(readBytes(library.folder.index()), before);
    EXPECT_EQ(inodeOf(library.folder.index()), inode) << "the index was not rewritten";
}

TEST(LibraryOperations, TrashingSharesOneDateAndRestoringClearsIt)
{
    Library library;
    const std::unordered_set<Uuid> ids{library.items[3].id, library.items[0].id, library.items[2].id};
    const Date before = Date::now();
    const std::vector<CaptureItem> trashed = library.store.setTrashed(ids, true);
    ASSERT_EQ(trashed.size(), 3u);
    EXPECT_EQ(trashed[0].id, library.items[0].id) << "returned in library order";
    EXPECT_EQ(trashed[1].id, library.items[2].id);
    EXPECT_EQ(trashed[2].id, library.items[3].id);
    ASSERT_TRUE(trashed[0].trashedAt);
    EXPECT_GE(*trashed[0].trashedAt, before);
    EXPECT_EQ(trashed[1].trashedAt, trashed[0].trashedAt);
    EXPECT_EQ(trashed[2].trashedAt, trashed[0].trashedAt);
    EXPECT_FALSE(library.reread()[1].trashedAt);

    const CaptureItem restored = library.store.setTrashed(library.items[2].id, false);
    EXPECT_FALSE(restored.trashedAt);
    EXPECT_FALSE(library.reread()[2].trashedAt);
    EXPECT_TRUE(library.reread()[3].trashedAt);
}

TEST(LibraryOperations, RecordingPathsLiveInRecordingsAndOnlyExactMp4NamesArePending)
{
    Library library;
    const QString path = library.store.recordingURL();
    const QFileInfo info(path);
    const QString recordings = library.folder.path(QStringLiteral("Recordings"));
    EXPECT_EQ(info.path(), recordings);
    EXPECT_TRUE(info.fileName().endsWith(QLatin1String(".mp4")));
    EXPECT_TRUE(Uuid::parse(info.completeBaseName().toStdString()));
    EXPECT_EQ(info.completeBaseName(), info.completeBaseName().toUpper());
    EXPECT_FALSE(info.exists());
    EXPECT_NE(library.store.recordingURL(), path);

    for (const char *name : {"a.mp4", "b.MP4", "c.mov", ".hidden.mp4", "d.mp4.part", "e"})
        writeBytes(recordings + QLatin1Char('/') + QLatin1String(name), "x");
    QStringList pending = library.store.pendingRecordings();
    pending.sort();
    EXPECT_EQ(pending,
              (QStringList{recordings + QStringLiteral("/.hidden.mp4"), recordings + QStringLiteral("/a.mp4")}));
}

TEST(LibraryOperations, RemovingARecordingNeverReachesOutsideRecordings)
{
    Library library;
    const QString recordings = library.folder.path(QStringLiteral("Recordings"));
    const QString finished = recordings + QStringLiteral("/done.mp4");
    writeBytes(finished, "movie");
    library.store.removeFinalizedRecording(finished);
    EXPECT_FALSE(QFileInfo::exists(finished));
    library.store.removeFinalizedRecording(finished); // already gone: fine

    const QString original = library.folder.path(QStringLiteral("Originals/keep.png"));
    writeBytes(original, "original");
    const QString outsideFile = library.folder.outside(QStringLiteral("outside.mp4"));
    writeBytes(outsideFile, "outside");
    for (const QString &path : {original, recordings, recordings + QStringLiteral("/.."),
                                recordings + QStringLiteral("/../Originals/keep.png"), library.folder.root(),
                                outsideFile, QStringLiteral("Recordings/x.mp4"), QString()}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(failureOf([&] { library.store.removeFinalizedRecording(path); }), Case::unsafeFilename);
    }
    EXPECT_TRUE(QFileInfo::exists(original));
    EXPECT_TRUE(QFileInfo::exists(outsideFile));
    EXPECT_TRUE(QFileInfo(library.folder.index()).exists());

    // A link inside "Recordings" is removed itself; its target is left alone.
    const QString link = recordings + QStringLiteral("/link.mp4");
    QFile::link(outsideFile, link);
    library.store.removeFinalizedRecording(link);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(outsideFile), "outside");

    // A folder is never removed.
    QDir().mkpath(recordings + QStringLiteral("/folder.mp4/inner"));
    try {
        library.store.removeFinalizedRecording(recordings + QStringLiteral("/folder.mp4"));
        ADD_FAILURE() << "removed a folder";
    } catch (const FileFailure &failure) {
        EXPECT_EQ(failure.code(), EISDIR);
    }
    EXPECT_TRUE(QFileInfo(recordings + QStringLiteral("/folder.mp4/inner")).isDir());
}

TEST(LibraryOperations, ExportDestinationsInsideTheLibraryAreRefused)
{
    Library library;
    const QString root = library.folder.root();
    const QString parent = QFileInfo(root).path();
    QFile::link(root, library.folder.outside(QStringLiteral("shortcut")));
    QFile::link(root + QStringLiteral("/Originals"), library.folder.outside(QStringLiteral("originals-link")));

    const QStringList refused{
        root,
        root + QStringLiteral("/"),
        root + QStringLiteral("/export.png"),
        root + QStringLiteral("/Originals/") + QString::fromStdString(library.items[0].filename),
        root + QStringLiteral("/not/yet/there/a.png"),
        parent + QStringLiteral("/elsewhere/../Library/a.png"),
        library.folder.outside(QStringLiteral("shortcut/Thumbnails/a.jpg")),
        // The system resolves "originals-link/.." to the library root itself, which the
        // component comparison (".." removed first) cannot see; the folder identity does.
        library.folder.outside(QStringLiteral("originals-link/../Originals/a.png")),
        QStringLiteral("relative/a.png"),
        QString(),
    };
    for (const QString &destination : refused) {
        SCOPED_TRACE(destination.toStdString());
        EXPECT_EQ(failureOf([&] { library.store.validateExportDestination(destination); }),
                  Case::protectedExportLocation);
    }

    for (const QString &destination : {parent + QStringLiteral("/Library2/a.png"), parent + QStringLiteral("/a.png"),
                                       library.folder.outside(QStringLiteral("new/folder/a.png"))}) {
        SCOPED_TRACE(destination.toStdString());
        EXPECT_NO_THROW(library.store.validateExportDestination(destination));
    }
}

TEST(LibraryOperations, ExportRefusesALibraryFolderMountedElsewhere)
{
    // A bind mount of "Originals" is a second name for it that no path comparison can see.
    // The mount lives in a private mount namespace, so it ends with this process.
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        GTEST_SKIP() << "needs root to make a private bind mount";
    Library library;
    const QString mountPoint = library.folder.outside(QStringLiteral("mounted-originals"));
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    const QString originals = library.folder.root() + QStringLiteral("/Originals");
    if (::mount(QFile::encodeName(originals).constData(), QFile::encodeName(mountPoint).constData(), nullptr, MS_BIND,
                nullptr) != 0)
        GTEST_SKIP() << "bind mounts are not available here";

    const QString original = mountPoint + QLatin1Char('/') + QString::fromStdString(library.items[0].filename);
    const bool refused =
        failureOf([&] { library.store.validateExportDestination(original); }) == Case::protectedExportLocation;
    ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
    EXPECT_TRUE(refused);
}

// Every changing operation copies the item list once, changes the copy and swaps it in after
// the index was written; a large library is not duplicated several times per favourite toggle.
// Each item's text is counted by the allocations of its exact length: one copy of the list
// plus whatever the index encoder itself makes.
TEST(LibraryOperations, ChangesCopyTheItemListOnce)
{
    constexpr size_t textLength = 50'021;
    std::vector<CaptureItem> items;
    for (int i = 0; i < 40; ++i) {
        items.push_back(makeItem("item " + std::to_string(i)));
        items.back().recognizedText = std::string(textLength, char('a' + i % 26));
    }
    LibraryFolder folder;
    folder.writeIndex(items);
    LibraryStore store(folder.root());
    store.load();

    size_t encoder = 0;
    {
        TestSupport::AllocationCounter counter(textLength + 1);
        LibraryIndex::encode(items);
        encoder = counter.count();
    }
    const auto copiesIn = [&](auto &&operation) {
        TestSupport::AllocationCounter counter(textLength + 1);
        operation();
        return counter.count() - encoder;
    };
    EXPECT_EQ(copiesIn([&] { store.setFavorite(items[7].id, true); }), items.size() + 1); // the item returned
    EXPECT_EQ(copiesIn([&] {
                  store.setTrashed(std::unordered_set<Uuid>{items[3].id, items[9].id}, true);
              }),
              items.size() + 2); // the two items returned
    EXPECT_EQ(LibraryStore(folder.root()).load(), store.load());
}
