// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/BlurCache.h"

#include "core/base/Hashing.h"

namespace tarn {

BlurCache::BlurCache(size_t maximumEntries, size_t maximumCost)
    : maximumEntries_(maximumEntries),
      maximumCost_(maximumCost)
{ }

size_t BlurCache::hashOf(qint64 imageKey, const std::vector<Annotation> &marks)
{
    return Hashing::of(marks) ^ std::hash<qint64>{}(imageKey);
}

std::list<BlurCache::Entry>::iterator BlurCache::locate(qint64 imageKey, size_t hash,
                                                        const std::vector<Annotation> &marks)
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->hash == hash && it->imageKey == imageKey && it->marks == marks)
            return it;
    }
    return entries_.end();
}

std::optional<QImage> BlurCache::find(const QImage &source, const std::vector<Annotation> &marks)
{
    const qint64 key = source.cacheKey();
    const size_t hash = hashOf(key, marks);
    std::lock_guard lock(mutex_);
    const auto it = locate(key, hash, marks);
    if (it == entries_.end())
        return std::nullopt;
    entries_.splice(entries_.begin(), entries_, it);
    return it->blurred;
}

void BlurCache::insert(const QImage &source, const std::vector<Annotation> &marks, const QImage &blurred)
{
    const size_t cost = size_t(source.sizeInBytes()) + size_t(blurred.sizeInBytes());
    const qint64 key = source.cacheKey();
    const size_t hash = hashOf(key, marks);
    std::lock_guard lock(mutex_);
    // A simultaneous miss for the same key may have stored first: the later store replaces it.
    if (const auto old = locate(key, hash, marks); old != entries_.end()) {
        totalCost_ -= old->cost;
        entries_.erase(old);
    }
    if (maximumEntries_ == 0)
        return;
    while (!entries_.empty() && (entries_.size() >= maximumEntries_ || totalCost_ + cost > maximumCost_)) {
        totalCost_ -= entries_.back().cost;
        entries_.pop_back();
    }
    entries_.push_front(Entry{key, hash, marks, source, blurred, cost});
    totalCost_ += cost;
}

} // namespace tarn
