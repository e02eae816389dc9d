// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/ThumbnailCache.h"

namespace tarn {

ThumbnailCache::ThumbnailCache(int countLimit, int64_t costLimit) : countLimit_(countLimit), costLimit_(costLimit) { }

ThumbnailCache &ThumbnailCache::shared()
{
    static ThumbnailCache cache;
    return cache;
}

std::optional<QImage> ThumbnailCache::find(const QString &path)
{
    auto found = index_.find(path);
    if (found == index_.end())
        return std::nullopt;
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->image;
}

void ThumbnailCache::insert(const QString &path, const QImage &image)
{
    if (auto found = index_.find(path); found != index_.end())
        remove(found->second);
    const int64_t entryCost = cost(image);
    if (image.isNull() || entryCost > costLimit_)
        return;
    entries_.push_front(Entry{path, image, entryCost});
    index_.emplace(path, entries_.begin());
    totalCost_ += entryCost;
    while (count() > countLimit_ || totalCost_ > costLimit_)
        remove(std::prev(entries_.end()));
}

void ThumbnailCache::remove(std::list<Entry>::iterator entry)
{
    totalCost_ -= entry->cost;
    index_.erase(entry->path);
    entries_.erase(entry);
}

} // namespace tarn
