// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <vector>

#include <QImage>

#include "core/model/Annotation.h"

namespace tarn {

// A small thread-safe cache of blurred copies, keyed by the identity of the source image
// (QImage::cacheKey, not its pixels) and the list of marks painted into the copy. Each entry
// keeps the source image referenced: while the entry lives, the image's data cannot be freed,
// so its key can never come to stand for another image's pixels. Least recently used entries
// go first when the entry count or the total cost would exceed the limits; the newest entry is
// always kept, even alone above the cost limit, so that the redraws of one very large capture
// (an 8K screenshot) do not blur it again every time.
class BlurCache {
public:
    BlurCache(size_t maximumEntries, size_t maximumCost);

    std::optional<QImage> find(const QImage &source, const std::vector<Annotation> &marks);
    // An entry costlier than the whole limit is kept alone.
    void insert(const QImage &source, const std::vector<Annotation> &marks, const QImage &blurred);

private:
    struct Entry {
        qint64 imageKey;
        size_t hash;
        std::vector<Annotation> marks;
        QImage source; // keeps the identity alive; never compared
        QImage blurred;
        size_t cost;
    };

    static size_t hashOf(qint64 imageKey, const std::vector<Annotation> &marks);
    std::list<Entry>::iterator locate(qint64 imageKey, size_t hash, const std::vector<Annotation> &marks);

    const size_t maximumEntries_;
    const size_t maximumCost_;
    std::mutex mutex_;
    std::list<Entry> entries_; // most recently used first
    size_t totalCost_ = 0;
};

} // namespace tarn
