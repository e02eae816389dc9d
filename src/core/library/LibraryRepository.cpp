// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/LibraryRepository.h"

#include "core/library/LibraryPaths.h"

namespace tarn {

LibraryRepository::LibraryRepository(const QString &root) : root_(LibraryPaths::normalizedRoot(root)), store_(root_) { }

LibraryRepository::~LibraryRepository() { executor_.waitForDone(); }

QString LibraryRepository::originalURL(const CaptureItem &item) const
{
    return LibraryPaths::originalPath(root_, item);
}

QString LibraryRepository::thumbnailURL(const CaptureItem &item) const
{
    return LibraryPaths::thumbnailPath(root_, item);
}

void LibraryRepository::validateExportDestination(const QString &destination) const
{
    LibraryPaths::validateExportDestination(root_, destination);
}

QFuture<std::vector<CaptureItem>> LibraryRepository::load()
{
    return submit([](LibraryStore &store) { return store.load(); });
}

QFuture<void> LibraryRepository::removeLeftovers(const LibraryLease &lease)
{
    return submit([&lease](LibraryStore &store) { store.removeLeftovers(lease); });
}

QFuture<CaptureItem> LibraryRepository::insertImage(QImage image, std::string title, bool isSample,
                                                    std::optional<double> captureMilliseconds)
{
    return submit([image = std::move(image), title = std::move(title), isSample, captureMilliseconds](
                      LibraryStore &store) { return store.insertImage(image, title, isSample, captureMilliseconds); });
}

QFuture<CaptureItem> LibraryRepository::insertVideo(const QString &source, std::string title, QImage thumbnail,
                                                    int64_t width, int64_t height, double duration)
{
    return submit([source, title = std::move(title), thumbnail = std::move(thumbnail), width, height,
                   duration](LibraryStore &store) {
        return store.insertVideo(source, title, thumbnail, width, height, duration);
    });
}

QFuture<CaptureItem> LibraryRepository::updateRecognition(const Uuid &id, RecognitionResult result)
{
    return submit(
        [id, result = std::move(result)](LibraryStore &store) { return store.updateRecognition(id, result); });
}

QFuture<CaptureItem> LibraryRepository::setFavorite(const Uuid &id, bool value)
{
    return submit([id, value](LibraryStore &store) { return store.setFavorite(id, value); });
}

QFuture<CaptureItem> LibraryRepository::setTrashed(const Uuid &id, bool value)
{
    return submit([id, value](LibraryStore &store) { return store.setTrashed(id, value); });
}

QFuture<std::vector<CaptureItem>> LibraryRepository::setTrashed(std::unordered_set<Uuid> ids, bool value)
{
    return submit([ids = std::move(ids), value](LibraryStore &store) { return store.setTrashed(ids, value); });
}

QFuture<CaptureItem> LibraryRepository::saveEdits(const Uuid &id, std::string title, std::vector<std::string> tags,
                                                  EditDocument document)
{
    return submit([id, title = std::move(title), tags = std::move(tags), document = std::move(document)](
                      LibraryStore &store) { return store.saveEdits(id, title, tags, document); });
}

QFuture<QString> LibraryRepository::recordingURL()
{
    return submit([](LibraryStore &store) { return store.recordingURL(); });
}

QFuture<void> LibraryRepository::removeFinalizedRecording(const QString &path)
{
    return submit([path](LibraryStore &store) { store.removeFinalizedRecording(path); });
}

QFuture<QStringList> LibraryRepository::pendingRecordings()
{
    return submit([](LibraryStore &store) { return store.pendingRecordings(); });
}

QFuture<QStringList> LibraryRepository::recordingsToRecover()
{
    return submit([](LibraryStore &store) { return store.recordingsToRecover(); });
}

} // namespace tarn
