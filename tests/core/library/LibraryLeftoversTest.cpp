// SPDX-License-Identifier: GPL-3.0-or-later
// What a killed change leaves in a library goes when the writer loads it with the lease held:
// our temporary files and the thumbnails no item names. Every other entry (each file an item
// names, any other name, links, folders, recordings) stays byte for byte.
#include <map>

#include <QDirIterator>
#include <QFileInfo>
#include <QImage>

#include "core/library/LibraryLease.h"
#include "core/library/LibraryStore.h"
#include "support/LibraryTestSupport.h"

using namespace tarn;
using namespace tarn::TestSupport;

namespace {

// Every entry below `root` by relative path: a file's content hash, a link's target, a folder.
std::map<QString, QByteArray> snapshot(const QString &root)
{
    std::map<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = QDir(root).relativeFilePath(path);
        if (info.isSymLink())
            entries[relative] = "link to " + info.symLinkTarget().toUtf8();
        else if (info.isDir())
            entries[relative] = "folder";
        else
            entries[relative] = sha256(path);
    }
    return entries;
}

} // namespace

TEST(LibraryLeftovers, TheLeaseHolderRemovesOnlyOurTemporaryFilesAndUnnamedThumbnails)
{
    LibraryFolder folder;
    const LibraryLease lease(folder.root());
    LibraryStore store(folder.root());
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const CaptureItem trashed = store.insertImage(image, "trashed", false, std::nullopt);
    store.setTrashed(trashed.id, true); // an item in the trash keeps its files
    const CaptureItem plain = store.insertImage(image, "plain", false, std::nullopt);
    EditDocument framed = plain.edits;
    framed.backdrop = Backdrop::peach;
    const CaptureItem edited = store.saveEdits(plain.id, "edited", {}, framed); // "<id>-<id>.jpg"

    const QString id = Uuid::random().toQString(), other = Uuid::random().toQString();
    const QString outsideFile = folder.outside(QStringLiteral("outside.jpg"));
    writeBytes(outsideFile, "not the library's");
    enum Kind { file, folderEntry, link };
    const struct {
        QString path;
        Kind kind;
        bool removed;
    } entries[] = {
        // what kills inside the store's writes leave
        {QStringLiteral(".library.json.tmp-Ab12Cd"), file, true},
        {QStringLiteral("Originals/.") + id + QStringLiteral(".png.tmp-x1Y2z3"), file, true},
        {QStringLiteral("Originals/.") + id + QStringLiteral(".mp4.tmp-000000"), file, true},
        {QStringLiteral("Thumbnails/.") + id + QStringLiteral(".jpg.tmp-QwErTy"), file, true},
        {QStringLiteral("Thumbnails/.") + id + QLatin1Char('-') + other + QStringLiteral(".jpg.tmp-a1b2c3"), file,
         true},
        {QStringLiteral("Thumbnails/") + id + QStringLiteral(".jpg"), file, true},
        {QStringLiteral("Thumbnails/") + id + QLatin1Char('-') + other + QStringLiteral(".jpg"), file, true},
        // an original no item names: originals are never removed
        {QStringLiteral("Originals/") + id + QStringLiteral(".png"), file, false},
        // names close to ours that are not
        {QStringLiteral(".library.json.tmp-Ab12C"), file, false},
        {QStringLiteral(".library.json.tmp-Ab12Cde"), file, false},
        {QStringLiteral(".library.json.tmp-Ab_2Cd"), file, false},
        {QStringLiteral("library.json.tmp-Ab12Cd"), file, false},
        {QStringLiteral(".notes.json.tmp-Ab12Cd"), file, false},
        {QStringLiteral("notes.txt"), file, false},
        {QStringLiteral("Thumbnails/notes.txt"), file, false},
        {QStringLiteral("Thumbnails/.") + QStringLiteral("notes.txt.tmp-Ab12Cd"), file, false},
        {QStringLiteral("Thumbnails/") + id.toLower() + QStringLiteral(".jpg"), file, false},
        {QStringLiteral("Thumbnails/") + id + QStringLiteral(".png"), file, false},
        {QStringLiteral("Originals/.") + id + QStringLiteral(".PNG.tmp-Ab12Cd"), file, false},
        // our names on what is not a plain file
        {QStringLiteral("Thumbnails/.") + id + QStringLiteral(".jpg.tmp-Zz9Zz9"), folderEntry, false},
        {QStringLiteral("Thumbnails/") + other + QStringLiteral(".jpg"), link, false},
        {QStringLiteral("Originals/.") + other + QStringLiteral(".png.tmp-LnK123"), link, false},
        // recordings wait for recovery
        {QStringLiteral("Recordings/") + id + QStringLiteral(".mp4"), file, false},
        {QStringLiteral("Recordings/.") + id + QStringLiteral(".mp4.tmp-Ab12Cd"), file, false},
    };
    for (const auto &entry : entries) {
        const QString path = folder.path(entry.path);
        if (entry.kind == file)
            writeBytes(path, entry.path.toUtf8());
        else if (entry.kind == folderEntry)
            ASSERT_TRUE(QDir().mkpath(path));
        else
            ASSERT_TRUE(QFile::link(outsideFile, path));
    }
    const std::map<QString, QByteArray> before = snapshot(folder.root());

    {
        LibraryFolder elsewhere;
        const LibraryLease otherLease(elsewhere.root());
        store.removeLeftovers(otherLease);
        EXPECT_EQ(snapshot(folder.root()), before) << "a lease on another folder removed something";
    }

    LibraryStore restarted(folder.root());
    restarted.removeLeftovers(lease);
    std::map<QString, QByteArray> expected = before;
    for (const auto &entry : entries)
        if (entry.removed)
            expected.erase(entry.path);
    EXPECT_EQ(snapshot(folder.root()), expected);
    EXPECT_EQ(readBytes(outsideFile), "not the library's");
    EXPECT_EQ(restarted.load(), store.load());
    EXPECT_TRUE(QFile::exists(restarted.thumbnailURL(edited)));
    EXPECT_TRUE(QFile::exists(restarted.thumbnailURL(trashed)));
}
