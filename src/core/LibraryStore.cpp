#include "core/LibraryStore.h"

#include <cerrno>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/FileFailure.h"
#include "core/LibraryFailure.h"
#include "core/LibraryIndex.h"
#include "core/LibraryPaths.h"
#include "core/PrivateFiles.h"

namespace tarn {

namespace paths = libraryPaths;

LibraryStore::LibraryStore(const QString &root) : root_(paths::normalizedRoot(root)) {}

QString LibraryStore::originalURL(const CaptureItem &item) const { return paths::originalPath(root_, item); }

QString LibraryStore::thumbnailURL(const CaptureItem &item) const { return paths::thumbnailPath(root_, item); }

void LibraryStore::validateExportDestination(const QString &destination) const
{
    paths::validateExportDestination(root_, destination);
}

QString LibraryStore::folder(const QString &name) const { return paths::child(root_, name); }

std::vector<CaptureItem> LibraryStore::load()
{
    if (loaded_)
        return items_;
    files::createFolders(root_);
    for (const QString &name : {paths::originalsName, paths::thumbnailsName, paths::recordingsName})
        files::createFolders(folder(name));

    const QString indexPath = folder(paths::indexName);
    QByteArray bytes;
    try {
        // Only "does not exist" means a new library; any other failure to look at or read an
        // existing index is reported, so it is never replaced by an empty one.
        if (!files::exists(indexPath)) {
            loaded_ = true;
            return items_;
        }
        bytes = files::readAll(indexPath);
    } catch (const FileFailure &failure) {
        throw LibraryFailure::corruptedIndex(failure.description());
    }
    items_ = libraryIndex::decode(bytes);
    loaded_ = true;
    return items_;
}

void LibraryStore::persist(const std::vector<CaptureItem> &items)
{
    writePrivate(libraryIndex::encode(items), folder(paths::indexName));
    items_ = items;
}

void LibraryStore::writePrivate(const QByteArray &data, const QString &path)
{
    files::writeAtomically(path, data);
}

std::vector<CaptureItem>::iterator LibraryStore::find(std::vector<CaptureItem> &items, const Uuid &id)
{
    const auto it = std::find_if(items.begin(), items.end(), [&id](const CaptureItem &item) { return item.id == id; });
    if (it == items.end())
        throw LibraryFailure::missingItem();
    return it;
}

template <typename Change>
CaptureItem LibraryStore::changeOne(const Uuid &id, Change change)
{
    load();
    std::vector<CaptureItem> items = items_;
    const auto it = find(items, id);
    change(*it);
    const CaptureItem changed = *it;
    persist(items);
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
    load();
    if (ids.empty())
        return {};
    for (const Uuid &id : ids)
        if (std::none_of(items_.begin(), items_.end(), [&id](const CaptureItem &item) { return item.id == id; }))
            throw LibraryFailure::missingItem();

    const std::optional<Date> date = value ? std::optional<Date>(Date::now()) : std::nullopt;
    std::vector<CaptureItem> items = items_;
    std::vector<CaptureItem> changed;
    for (CaptureItem &item : items) {
        if (ids.count(item.id)) {
            item.trashedAt = date;
            changed.push_back(item);
        }
    }
    persist(items);
    return changed;
}

CaptureItem LibraryStore::setTrashed(const Uuid &id, bool value)
{
    const std::vector<CaptureItem> changed = setTrashed(std::unordered_set<Uuid>{id}, value);
    if (changed.empty())
        throw LibraryFailure::missingItem();
    return changed.front();
}

QString LibraryStore::recordingURL()
{
    load();
    return paths::child(folder(paths::recordingsName), Uuid::random().toQString() + QLatin1String(".mp4"));
}

void LibraryStore::removeFinalizedRecording(const QString &path)
{
    // The path is cleaned before anything else and only the cleaned path is used, so neither
    // ".." nor a link inside the path can make the removal reach outside "Recordings".
    if (!QDir::isAbsolutePath(path))
        throw LibraryFailure::unsafeFilename();
    const QString clean = QDir::cleanPath(path);
    const QFileInfo info(clean);
    if (info.path() != folder(paths::recordingsName))
        throw LibraryFailure::unsafeFilename();
    paths::validateFilename(info.fileName().toStdString());

    struct stat st {};
    if (::lstat(QFile::encodeName(clean).constData(), &st) != 0) {
        if (errno == ENOENT)
            return;
        throw FileFailure::fromErrno(QStringLiteral("녹화 파일을 확인하지"), clean);
    }
    if (S_ISDIR(st.st_mode))
        throw FileFailure(EISDIR, QStringLiteral("녹화 파일을 지우지"), clean);
    files::removeFile(clean);
}

QStringList LibraryStore::pendingRecordings()
{
    load();
    const QString recordings = folder(paths::recordingsName);
    QStringList pending;
    for (const QString &name : files::listFolder(recordings)) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0 && QStringView(name).mid(dot + 1) == QLatin1String("mp4"))
            pending.append(paths::child(recordings, name));
    }
    return pending;
}

} // namespace tarn
