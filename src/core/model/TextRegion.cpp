// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/TextRegion.h"

#include "core/base/Hashing.h"
#include "core/base/JsonReader.h"

namespace tarn {

void write(Json::Writer &w, const TextRegion &r)
{
    w.beginObject();
    Json::field(w, "confidence", r.confidence);
    Json::field(w, "id", r.id);
    Json::field(w, "rect", r.rect);
    Json::field(w, "text", r.text);
    w.endObject();
}

void read(Json::Value j, TextRegion &out)
{
    Json::field(j, "id", out.id);
    Json::field(j, "text", out.text);
    Json::field(j, "rect", out.rect);
    Json::field(j, "confidence", out.confidence);
}

} // namespace tarn

size_t std::hash<tarn::TextRegion>::operator()(const tarn::TextRegion &r) const noexcept
{
    return tarn::Hashing::all(r.id, r.text, r.rect, r.confidence);
}
