// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include <QFuture>
#include <QImage>
#include <QPromise>
#include <QString>
#include <QStringList>

#include "core/base/SerialExecutor.h"
#include "core/library/LibraryStore.h"

namespace tarn {

// The library store of the application: every operation that reads or changes the library runs
// on one worker thread, one at a time and in call order, over a LibraryStore that only that
// thread touches. Results are value copies delivered through QFuture; a failed operation's
// future rethrows the operation's own exception (LibraryFailure, ImageFailure, FileFailure)
// from result() or waitForFinished().
//
// Paths: every "URL" of this store is an absolute local file path in a QString.
//
// root(), originalURL(), thumbnailURL() and validateExportDestination() use only the immutable
// root and the file system, so any thread may call them directly without waiting.
class LibraryRepository {
public:
    explicit LibraryRepository(const QString &root);
    ~LibraryRepository(); // waits for the operations already submitted

    LibraryRepository(const LibraryRepository &) = delete;
    LibraryRepository &operator=(const LibraryRepository &) = delete;

    const QString &root() const { return root_; }
    QString originalURL(const CaptureItem &item) const;
    QString thumbnailURL(const CaptureItem &item) const;
    void validateExportDestination(const QString &destination) const; // throws protectedExportLocation

    QFuture<std::vector<CaptureItem>> load();
    // LibraryStore::removeLeftovers; the lease must outlive the operation.
    QFuture<void> removeLeftovers(const LibraryLease &lease);
    QFuture<CaptureItem> insertImage(QImage image, std::string title, bool isSample,
                                     std::optional<double> captureMilliseconds);
    QFuture<CaptureItem> insertVideo(const QString &source, std::string title, QImage thumbnail, int64_t width,
                                     int64_t height, double duration);
    QFuture<CaptureItem> updateRecognition(const Uuid &id, RecognitionResult result);
    QFuture<CaptureItem> setFavorite(const Uuid &id, bool value);
    QFuture<CaptureItem> setTrashed(const Uuid &id, bool value);
    QFuture<std::vector<CaptureItem>> setTrashed(std::unordered_set<Uuid> ids, bool value);
    QFuture<CaptureItem> saveEdits(const Uuid &id, std::string title, std::vector<std::string> tags,
                                   EditDocument document);
    QFuture<QString> recordingURL();
    QFuture<void> removeFinalizedRecording(const QString &path);
    QFuture<QStringList> pendingRecordings();
    QFuture<QStringList> recordingsToRecover();

private:
    // Queues `operation(store_)` on the worker; its result or exception travels in the future.
    template <typename Operation> auto submit(Operation operation)
    {
        return executor_.run([this, operation = std::move(operation)] { return operation(store_); });
    }

    const QString root_;
    LibraryStore store_;      // touched only by the executor's thread
    SerialExecutor executor_; // declared last: destroyed (and drained) first
};

} // namespace tarn
