// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <unordered_map>

#include <QImage>
#include <QString>

namespace tarn {

// Decoded thumbnails by file path, shared by every thumbnail of the library window, so that a
// card scrolled out of view and back shows its picture without decoding it again. Bounded by a
// number of entries and a total cost (width x height x 4 bytes of each image); the entry used
// longest ago goes first when either limit is passed. GUI thread only.
class ThumbnailCache {
public:
    static constexpr int defaultCountLimit = 160;
    static constexpr int64_t defaultCostLimit = int64_t(96) << 20; // 96 MiB

    explicit ThumbnailCache(int countLimit = defaultCountLimit, int64_t costLimit = defaultCostLimit);

    // The one cache of the process.
    static ThumbnailCache &shared();

    static int64_t cost(const QImage &image) { return int64_t(image.width()) * image.height() * 4; }

    // The image stored for a path, which then counts as the most recently used.
    std::optional<QImage> find(const QString &path);
    // Stores an image, replacing what the path held. An image that alone passes the cost limit
    // is not kept; a null image is never stored.
    void insert(const QString &path, const QImage &image);

    int count() const { return int(entries_.size()); }
    int64_t totalCost() const { return totalCost_; }
    bool contains(const QString &path) const { return index_.count(path) > 0; }

private:
    struct Entry {
        QString path;
        QImage image;
        int64_t cost = 0;
    };
    void remove(std::list<Entry>::iterator entry);

    int countLimit_;
    int64_t costLimit_;
    int64_t totalCost_ = 0;
    std::list<Entry> entries_; // most recently used first
    std::unordered_map<QString, std::list<Entry>::iterator> index_;
};

} // namespace tarn
