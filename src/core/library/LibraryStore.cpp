// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/LibraryStore.h"

#include <cerrno>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/base/FileFailure.h"
#include "core/base/LibraryFailure.h"
#include "core/image/ImageCodec.h"
#include "core/library/LibraryIndex.h"
#include "core/library/LibraryLease.h"
#include "core/library/LibraryLeftovers.h"
#include "core/library/LibraryPaths.h"
#include "core/library/PrivateFiles.h"
#include "core/library/VideoContainer.h"
#include "core/render/RasterRenderer.h"

namespace tarn {

namespace Paths = LibraryPaths;

namespace {

constexpr int64_t thumbnailEdge = 720;
constexpr double originalQuality = 0.92;
constexpr double imageThumbnailQuality = 0.84;
constexpr double videoThumbnailQuality = 0.92;
constexpr double editedThumbnailQuality = 0.86;

QByteArray thumbnailJpeg(const QImage &image, double quality)
{
    return ImageCodec::encode(ImageCodec::thumbnail(image, thumbnailEdge), ExportFormat::jpeg, quality);
}

// A new item with the fields every insert shares.
CaptureItem newItem(CaptureKind kind, const std::string &title, const QString &extension)
{
    CaptureItem item;
    item.id = Uuid::random();
    item.title = title;
    item.createdAt = Date::now();
    item.kind = kind;
    item.filename = item.id.toString() + "." + extension.toStdString();
    item.thumbnailFilename = item.id.toString() + ".jpg";
    item.edits = EditDocument::initial();
    return item;
}

} // namespace

LibraryStore::LibraryStore(const QString &root) : root_(Paths::normalizedRoot(root)) { }

QString LibraryStore::originalURL(const CaptureItem &item) const { return Paths::originalPath(root_, item); }

QString LibraryStore::thumbnailURL(const CaptureItem &item) const { return Paths::thumbnailPath(root_, item); }

void LibraryStore::validateExportDestination(const QString &destination) const
{
    Paths::validateExportDestination(root_, destination);
}

QString LibraryStore::folder(const QString &name) const { return Paths::child(root_, name); }

std::vector<CaptureItem> LibraryStore::load() { return items(); }

const std::vector<CaptureItem> &LibraryStore::items()
{
    if (loaded_)
        return items_;
    Files::createFolders(root_);
    for (const QString &name : {Paths::originalsName, Paths::thumbnailsName, Paths::recordingsName})
        Files::createFolders(folder(name));

    const QString indexPath = folder(Paths::indexName);
    QByteArray bytes;
    try {
        // Only "does not exist" means a new library; any other failure to look at or read an
        // existing index is reported, so it is never replaced by an empty one.
        if (!Files::exists(indexPath)) {
            loaded_ = true;
            return items_;
        }
        bytes = Files::readAll(indexPath);
    } catch (const FileFailure &failure) {
        throw LibraryFailure::corruptedIndex(failure.description());
    }
    items_ = LibraryIndex::decode(bytes, indexPath);
    loaded_ = true;
    return items_;
}

void LibraryStore::removeLeftovers(const LibraryLease &lease)
{
    const std::vector<CaptureItem> &current = items();
    if (lease.root() != root_)
        return;
    for (const QString &path : LibraryLeftovers::find(root_, current))
        Files::removeQuietly(path);
}

void LibraryStore::persist(std::vector<CaptureItem> &&items)
{
    writePrivate(LibraryIndex::encode(items), folder(Paths::indexName));
    items_.swap(items);
}

void LibraryStore::writePrivate(const QByteArray &data, const QString &path) { Files::writeAtomically(path, data); }

std::vector<CaptureItem>::iterator LibraryStore::find(std::vector<CaptureItem> &items, const Uuid &id)
{
    const auto it = std::find_if(items.begin(), items.end(), [&id](const CaptureItem &item) { return item.id == id; });
    if (it == items.end())
        throw LibraryFailure::missingItem();
    return it;
}

template <typename Change> CaptureItem LibraryStore::changeOne(const Uuid &id, Change change)
{
    std::vector<CaptureItem> changedList = items(); // the one copy of the list
    const auto it = find(changedList, id);
    change(*it);
    CaptureItem changed = *it;
    persist(std::move(changedList));
    return changed;
}

CaptureItem LibraryStore::updateRecognition(const Uuid &id, const RecognitionResult &result)
{
    return changeOne(id, [&result](CaptureItem &item) {
        item.recognizedText = result.text();
        item.textRegions = result.regions;
    });
}

CaptureItem LibraryStore::setFavorite(const Uuid &id, bool value)
{
    return changeOne(id, [value](CaptureItem &item) { item.isFavorite = value; });
}

std::vector<CaptureItem> LibraryStore::setTrashed(const std::unordered_set<Uuid> &ids, bool value)
{
    const std::vector<CaptureItem> &current = items();
    if (ids.empty())
        return {};
    std::unordered_set<Uuid> known;
    for (const CaptureItem &item : current)
        if (ids.count(item.id))
            known.insert(item.id);
    if (known.size() != ids.size())
        throw LibraryFailure::missingItem();

    const std::optional<Date> date = value ? std::optional<Date>(Date::now()) : std::nullopt;
    std::vector<CaptureItem> changedList = current;
    std::vector<CaptureItem> changed;
    for (CaptureItem &item : changedList) {
        if (ids.count(item.id)) {
            item.trashedAt = date;
            changed.push_back(item);
        }
    }
    persist(std::move(changedList));
    return changed;
}

CaptureItem LibraryStore::setTrashed(const Uuid &id, bool value)
{
    const std::vector<CaptureItem> changed = setTrashed(std::unordered_set<Uuid>{id}, value);
    if (changed.empty())
        throw LibraryFailure::missingItem();
    return changed.front();
}

void LibraryStore::insertFirst(const CaptureItem &item)
{
    std::vector<CaptureItem> changedList;
    changedList.reserve(items_.size() + 1);
    changedList.push_back(item);
    changedList.insert(changedList.end(), items_.begin(), items_.end());
    persist(std::move(changedList));
}

CaptureItem LibraryStore::insertImage(const QImage &image, const std::string &title, bool isSample,
                                      std::optional<double> captureMilliseconds)
{
    items();
    ImageCodec::validate(image.width(), image.height());
    CaptureItem item = newItem(CaptureKind::image, title, QStringLiteral("png"));
    // Everything that can fail on the image happens before the first write.
    const QByteArray png = ImageCodec::encode(image, ExportFormat::png, originalQuality);
    const QByteArray jpeg = thumbnailJpeg(image, imageThumbnailQuality);
    item.width = image.width();
    item.height = image.height();
    item.byteCount = png.size();
    item.isSample = isSample;
    item.captureMilliseconds = captureMilliseconds;

    const QString original = originalURL(item);
    const QString thumbnail = thumbnailURL(item);
    try {
        writePrivate(png, original);
        writePrivate(jpeg, thumbnail);
        insertFirst(item);
    } catch (...) {
        Files::removeQuietly(original);
        Files::removeQuietly(thumbnail);
        throw;
    }
    return item;
}

CaptureItem LibraryStore::insertVideo(const QString &source, const std::string &title, const QImage &thumbnail,
                                      int64_t width, int64_t height, double duration)
{
    items();
    const QString extension =
        VideoContainer::storedExtension(source, Files::readHead(source, VideoContainer::headLength));
    CaptureItem item = newItem(CaptureKind::video, title, extension);
    item.byteCount = Files::fileSize(source);
    item.width = width;
    item.height = height;
    item.duration = duration;

    const QString original = originalURL(item);
    const QString thumbnailPath = thumbnailURL(item);
    try {
        Files::copyAtomically(source, original);
        writePrivate(thumbnailJpeg(thumbnail, videoThumbnailQuality), thumbnailPath);
        insertFirst(item);
    } catch (...) {
        Files::removeQuietly(original);
        Files::removeQuietly(thumbnailPath);
        throw;
    }
    return item;
}

CaptureItem LibraryStore::saveEdits(const Uuid &id, const std::string &title, const std::vector<std::string> &tags,
                                    const EditDocument &document)
{
    std::vector<CaptureItem> changedList = items();
    const auto it = find(changedList, id);
    const CaptureItem previous = *it;

    // The original is only ever read.
    const QImage original =
        ImageCodec::read(std::filesystem::path(QFile::encodeName(originalURL(previous)).toStdString()));
    const QByteArray jpeg =
        ImageCodec::encode(RasterRenderer::render(original, document, static_cast<int>(thumbnailEdge)),
                           ExportFormat::jpeg, editedThumbnailQuality);

    CaptureItem changed = *it;
    if (!QString::fromStdString(title).trimmed().isEmpty())
        changed.title = title;
    changed.tags = tags;
    changed.edits = document;
    changed.thumbnailFilename = id.toString() + "-" + Uuid::random().toString() + ".jpg";
    *it = changed;
    const QString thumbnail = thumbnailURL(changed);
    try {
        writePrivate(jpeg, thumbnail);
        persist(std::move(changedList));
    } catch (...) {
        Files::removeQuietly(thumbnail);
        throw;
    }
    Files::removeQuietly(thumbnailURL(previous)); // no longer referenced
    return changed;
}

QString LibraryStore::recordingURL()
{
    items();
    return Paths::child(folder(Paths::recordingsName), Uuid::random().toQString() + QLatin1String(".mp4"));
}

void LibraryStore::removeFinalizedRecording(const QString &path)
{
    // The path is cleaned before anything else and only the cleaned path is used, so neither
    // ".." nor a link inside the path can make the removal reach outside "Recordings".
    if (!QDir::isAbsolutePath(path))
        throw LibraryFailure::unsafeFilename();
    const QString clean = QDir::cleanPath(path);
    const QFileInfo info(clean);
    if (info.path() != folder(Paths::recordingsName))
        throw LibraryFailure::unsafeFilename();
    Paths::validateFilename(info.fileName().toStdString());

    struct stat st { };
    if (::lstat(QFile::encodeName(clean).constData(), &st) != 0) {
        if (errno == ENOENT)
            return;
        throw FileFailure::fromErrno(QStringLiteral("녹화 파일을 확인하지"), clean);
    }
    if (S_ISDIR(st.st_mode))
        throw FileFailure(EISDIR, QStringLiteral("녹화 파일을 지우지"), clean);
    Files::removeFile(clean);
}

QStringList LibraryStore::pendingRecordings()
{
    items();
    const QString recordings = folder(Paths::recordingsName);
    QStringList pending;
    for (const QString &name : Files::listFolder(recordings)) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0 && QStringView(name).mid(dot + 1) == QLatin1String("mp4"))
            pending.append(Paths::child(recordings, name));
    }
    return pending;
}

QStringList LibraryStore::recordingsToRecover()
{
    QStringList left;
    for (const QString &path : pendingRecordings()) {
        if (!isImportedRecording(path)) {
            left.append(path);
            continue;
        }
        try {
            removeFinalizedRecording(path);
        } catch (...) {
            // Still there, but its content is safe in the library: nothing to offer.
        }
    }
    return left;
}

// Matched by content, not by name: the index keeps no trace of the recording's path, and the
// same bytes in "Originals" are all that importing it again would add.
bool LibraryStore::isImportedRecording(const QString &path) const
{
    for (const CaptureItem &item : items_) {
        if (item.kind != CaptureKind::video)
            continue;
        try {
            if (Files::sameContent(path, originalURL(item)))
                return true;
        } catch (...) {
            // An unreadable recording or original proves nothing; the next item may still match.
        }
    }
    return false;
}

} // namespace tarn
