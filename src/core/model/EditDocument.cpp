// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/EditDocument.h"

#include "core/base/JsonReader.h"

#include <algorithm>

#include "core/base/Hashing.h"
#include "core/model/TextRegion.h"

namespace tarn {

bool EditDocument::containsRedactions() const
{
    return std::any_of(annotations.begin(), annotations.end(),
                       [](const Annotation &a) { return a.tool == MarkupTool::redact; });
}

std::vector<TextRegion> EditDocument::visibleTextRegions(const std::vector<TextRegion> &regions) const
{
    const UnitRect area = crop.value_or(UnitRect::full());
    std::vector<UnitRect> masks;
    for (const Annotation &a : annotations)
        if (isPrivacyMask(a.tool))
            masks.push_back(a.rect());

    std::vector<TextRegion> visible;
    for (const TextRegion &region : regions) {
        if (!area.contains(region.rect))
            continue;
        const bool masked =
            std::any_of(masks.begin(), masks.end(), [&](const UnitRect &m) { return m.intersects(region.rect); });
        if (!masked)
            visible.push_back(region);
    }
    return visible;
}

void write(Json::Writer &w, const EditDocument &d)
{
    w.beginObject();
    Json::field(w, "annotations", d.annotations);
    Json::field(w, "aspect", d.aspect);
    Json::field(w, "backdrop", d.backdrop);
    Json::field(w, "cornerRadius", d.cornerRadius);
    Json::field(w, "crop", d.crop);
    Json::field(w, "padding", d.padding);
    w.endObject();
}

void read(Json::Value j, EditDocument &out)
{
    Json::field(j, "annotations", out.annotations);
    Json::optionalField(j, "crop", out.crop);
    Json::field(j, "backdrop", out.backdrop);
    Json::field(j, "padding", out.padding);
    Json::field(j, "cornerRadius", out.cornerRadius);
    Json::field(j, "aspect", out.aspect);
}

} // namespace tarn

size_t std::hash<tarn::EditDocument>::operator()(const tarn::EditDocument &d) const noexcept
{
    return tarn::Hashing::all(d.annotations, d.crop, d.backdrop, d.padding, d.cornerRadius, d.aspect);
}
