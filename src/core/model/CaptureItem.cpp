// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/CaptureItem.h"

#include "core/base/Hashing.h"
#include "core/base/JsonReader.h"

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

void write(Json::Writer &w, const CaptureItem &item)
{
    // Keys in byte order, as every stored object.
    w.beginObject();
    Json::field(w, "byteCount", item.byteCount);
    Json::field(w, "captureMilliseconds", item.captureMilliseconds);
    Json::field(w, "createdAt", item.createdAt);
    Json::field(w, "duration", item.duration);
    Json::field(w, "edits", item.edits);
    Json::field(w, "filename", item.filename);
    Json::field(w, "height", item.height);
    Json::field(w, "id", item.id);
    Json::field(w, "isFavorite", item.isFavorite);
    Json::field(w, "isSample", item.isSample);
    Json::field(w, "kind", item.kind);
    Json::field(w, "recognizedText", item.recognizedText);
    Json::field(w, "tags", item.tags);
    Json::field(w, "textRegions", item.textRegions);
    Json::field(w, "thumbnailFilename", item.thumbnailFilename);
    Json::field(w, "title", item.title);
    Json::field(w, "trashedAt", item.trashedAt);
    Json::field(w, "width", item.width);
    w.endObject();
}

void read(Json::Value j, CaptureItem &out)
{
    Json::field(j, "id", out.id);
    Json::field(j, "title", out.title);
    Json::field(j, "createdAt", out.createdAt);
    Json::field(j, "kind", out.kind);
    Json::field(j, "filename", out.filename);
    Json::field(j, "thumbnailFilename", out.thumbnailFilename);
    Json::field(j, "width", out.width);
    Json::field(j, "height", out.height);
    Json::field(j, "byteCount", out.byteCount);
    Json::optionalField(j, "duration", out.duration);
    Json::field(j, "isFavorite", out.isFavorite);
    Json::field(j, "tags", out.tags);
    Json::field(j, "recognizedText", out.recognizedText);
    Json::field(j, "textRegions", out.textRegions);
    Json::field(j, "edits", out.edits);
    Json::field(j, "isSample", out.isSample);
    Json::optionalField(j, "trashedAt", out.trashedAt);
    Json::optionalField(j, "captureMilliseconds", out.captureMilliseconds);
}

} // namespace tarn

size_t std::hash<tarn::CaptureItem>::operator()(const tarn::CaptureItem &i) const noexcept
{
    return tarn::Hashing::all(i.id, i.title, i.createdAt, i.kind, i.filename, i.thumbnailFilename, i.width, i.height,
                              i.byteCount, i.duration, i.isFavorite, i.tags, i.recognizedText, i.textRegions, i.edits,
                              i.isSample, i.trashedAt, i.captureMilliseconds);
}
