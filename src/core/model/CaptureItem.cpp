// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/CaptureItem.h"

#include "core/base/JsonReader.h"

#include "core/base/Hashing.h"

namespace tarn {

std::string CaptureItem::searchableText() const
{
    std::string text = title + " " + recognizedText;
    for (const std::string &tag : tags) {
        text += ' ';
        text += tag;
    }
    return text;
}

void write(json::Writer &w, const TextRegion &r)
{
    w.beginObject();
    json::field(w, "confidence", r.confidence);
    json::field(w, "id", r.id);
    json::field(w, "rect", r.rect);
    json::field(w, "text", r.text);
    w.endObject();
}

void write(json::Writer &w, const CaptureItem &item)
{
    // Keys in byte order, as every stored object.
    w.beginObject();
    json::field(w, "byteCount", item.byteCount);
    json::field(w, "captureMilliseconds", item.captureMilliseconds);
    json::field(w, "createdAt", item.createdAt);
    json::field(w, "duration", item.duration);
    json::field(w, "edits", item.edits);
    json::field(w, "filename", item.filename);
    json::field(w, "height", item.height);
    json::field(w, "id", item.id);
    json::field(w, "isFavorite", item.isFavorite);
    json::field(w, "isSample", item.isSample);
    json::field(w, "kind", item.kind);
    json::field(w, "recognizedText", item.recognizedText);
    json::field(w, "tags", item.tags);
    json::field(w, "textRegions", item.textRegions);
    json::field(w, "thumbnailFilename", item.thumbnailFilename);
    json::field(w, "title", item.title);
    json::field(w, "trashedAt", item.trashedAt);
    json::field(w, "width", item.width);
    w.endObject();
}

void read(json::Value j, TextRegion &out)
{
    json::field(j, "id", out.id);
    json::field(j, "text", out.text);
    json::field(j, "rect", out.rect);
    json::field(j, "confidence", out.confidence);
}

void read(json::Value j, CaptureItem &out)
{
    json::field(j, "id", out.id);
    json::field(j, "title", out.title);
    json::field(j, "createdAt", out.createdAt);
    json::field(j, "kind", out.kind);
    json::field(j, "filename", out.filename);
    json::field(j, "thumbnailFilename", out.thumbnailFilename);
    json::field(j, "width", out.width);
    json::field(j, "height", out.height);
    json::field(j, "byteCount", out.byteCount);
    json::optionalField(j, "duration", out.duration);
    json::field(j, "isFavorite", out.isFavorite);
    json::field(j, "tags", out.tags);
    json::field(j, "recognizedText", out.recognizedText);
    json::field(j, "textRegions", out.textRegions);
    json::field(j, "edits", out.edits);
    json::field(j, "isSample", out.isSample);
    json::optionalField(j, "trashedAt", out.trashedAt);
    json::optionalField(j, "captureMilliseconds", out.captureMilliseconds);
}

} // namespace tarn

size_t std::hash<tarn::TextRegion>::operator()(const tarn::TextRegion &r) const noexcept
{
    return tarn::hashing::all(r.id, r.text, r.rect, r.confidence);
}

size_t std::hash<tarn::CaptureItem>::operator()(const tarn::CaptureItem &i) const noexcept
{
    return tarn::hashing::all(i.id, i.title, i.createdAt, i.kind, i.filename, i.thumbnailFilename, i.width, i.height,
                              i.byteCount, i.duration, i.isFavorite, i.tags, i.recognizedText, i.textRegions, i.edits,
                              i.isSample, i.trashedAt, i.captureMilliseconds);
}
