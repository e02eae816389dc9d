#include "core/CaptureItem.h"

#include "core/Hashing.h"

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

void to_json(json::Json &j, const TextRegion &r)
{
    j = json::Json::object();
    j["id"] = json::value(r.id);
    j["text"] = r.text;
    j["rect"] = r.rect;
    j["confidence"] = json::number(r.confidence);
}

void to_json(json::Json &j, const CaptureItem &item)
{
    j = json::Json::object();
    j["id"] = json::value(item.id);
    j["title"] = item.title;
    j["createdAt"] = json::value(item.createdAt);
    j["kind"] = json::value(item.kind);
    j["filename"] = item.filename;
    j["thumbnailFilename"] = item.thumbnailFilename;
    j["width"] = item.width;
    j["height"] = item.height;
    j["byteCount"] = item.byteCount;
    j["isFavorite"] = item.isFavorite;
    j["tags"] = item.tags;
    j["recognizedText"] = item.recognizedText;
    j["textRegions"] = item.textRegions;
    j["edits"] = item.edits;
    j["isSample"] = item.isSample;
    if (item.duration)
        j["duration"] = json::number(*item.duration);
    if (item.trashedAt)
        j["trashedAt"] = json::value(*item.trashedAt);
    if (item.captureMilliseconds)
        j["captureMilliseconds"] = json::number(*item.captureMilliseconds);
}


void read(const json::Json &j, TextRegion &out)
{
    json::field(j, "id", out.id);
    json::field(j, "text", out.text);
    json::field(j, "rect", out.rect);
    json::field(j, "confidence", out.confidence);
}

void read(const json::Json &j, CaptureItem &out)
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
    return tarn::hashing::all(i.id, i.title, i.createdAt, i.kind, i.filename, i.thumbnailFilename,
                              i.width, i.height, i.byteCount, i.duration, i.isFavorite, i.tags,
                              i.recognizedText, i.textRegions, i.edits, i.isSample, i.trashedAt,
                              i.captureMilliseconds);
}
