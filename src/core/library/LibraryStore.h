// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include <QImage>
#include <QString>
#include <QStringList>

#include "core/model/CaptureItem.h"
#include "core/model/EditDocument.h"
#include "core/text/RecognitionResult.h"

namespace tarn {

class LibraryLease;

// The library folder and its index, operated synchronously by one thread at a time.
// LibraryRepository runs it on its own worker; tests drive it directly.
//
// Layout under the root: "library.json" (the index), "Originals" (one untouched original per
// item), "Thumbnails" (one JPEG per item), "Recordings" (recordings being written). Folders are
// created 0700, files are written atomically with permissions 0600. Originals are never
// rewritten and nothing here deletes an original or an index entry.
//
// Every changing operation checks, writes its new files, writes the whole new index, and only
// then removes files that are no longer referenced, so an interruption at any moment leaves at
// most an unreferenced file, never an index entry without its files. The in-memory list always
// equals the last index written. Paths are absolute local paths (QString).
class LibraryStore {
public:
    explicit LibraryStore(const QString &root); // touches no file

    const QString &root() const { return root_; }
    QString originalURL(const CaptureItem &item) const;
    QString thumbnailURL(const CaptureItem &item) const;
    void validateExportDestination(const QString &destination) const;

    // Reads and checks the index once (creating the folders) and returns the cached list after.
    std::vector<CaptureItem> load();
    // The same without a copy; valid until the next changing operation.
    const std::vector<CaptureItem> &items();
    // Loads, then removes what a process killed in the middle of a change left behind (see
    // LibraryLeftovers): our temporary files and thumbnails that no item names. Only the holder
    // of the writer lease on this library may do so, since another writer's files in progress
    // look the same; a lease on another folder removes nothing. Failed removals are ignored.
    void removeLeftovers(const LibraryLease &lease);

    CaptureItem insertImage(const QImage &image, const std::string &title, bool isSample,
                            std::optional<double> captureMilliseconds);
    CaptureItem insertVideo(const QString &source, const std::string &title, const QImage &thumbnail, int64_t width,
                            int64_t height, double duration);
    CaptureItem updateRecognition(const Uuid &id, const RecognitionResult &result);
    CaptureItem setFavorite(const Uuid &id, bool value);
    CaptureItem setTrashed(const Uuid &id, bool value);
    std::vector<CaptureItem> setTrashed(const std::unordered_set<Uuid> &ids, bool value);
    CaptureItem saveEdits(const Uuid &id, const std::string &title, const std::vector<std::string> &tags,
                          const EditDocument &document);

    // A path in "Recordings" for a new recording; no file is created.
    QString recordingURL();
    // Removes a finished recording; refuses (unsafeFilename) anything not directly in
    // "Recordings". A file already gone is not an error.
    void removeFinalizedRecording(const QString &path);
    // Recordings left in "Recordings" (name ending exactly in ".mp4"), in listing order.
    QStringList pendingRecordings();
    // The pending recordings still to recover: those whose bytes equal a video original in the
    // library were imported already and only failed to leave, so they are left out (and removed
    // when they can be now). A file that cannot be compared is kept in the list.
    QStringList recordingsToRecover();

private:
    std::vector<CaptureItem>::iterator find(std::vector<CaptureItem> &items, const Uuid &id);
    template <typename Change> CaptureItem changeOne(const Uuid &id, Change change);
    QString folder(const QString &name) const;
    bool isImportedRecording(const QString &path) const;
    void insertFirst(const CaptureItem &item);
    // Writes the index of `items`, then takes them as the store's list by a swap that cannot
    // fail: nothing after the index file was renamed can throw and set off the clean-up of
    // files that the new index already names.
    void persist(std::vector<CaptureItem> &&items);
    static void writePrivate(const QByteArray &data, const QString &path);

    QString root_;
    std::vector<CaptureItem> items_;
    bool loaded_ = false;
};

} // namespace tarn
