// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/EditDocument.h"

#include "core/base/JsonReader.h"

#include <algorithm>

#include "core/base/Hashing.h"
#include "core/model/CaptureItem.h"

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

void write(json::Writer &w, const EditDocument &d)
{
    w.beginObject();
    json::field(w, "annotations", d.annotations);
    json::field(w, "aspect", d.aspect);
    json::field(w, "backdrop", d.backdrop);
    json::field(w, "cornerRadius", d.cornerRadius);
    json::field(w, "crop", d.crop);
    json::field(w, "padding", d.padding);
    w.endObject();
}

void read(json::Value j, EditDocument &out)
{
    json::field(j, "annotations", out.annotations);
    json::optionalField(j, "crop", out.crop);
    json::field(j, "backdrop", out.backdrop);
    json::field(j, "padding", out.padding);
    json::field(j, "cornerRadius", out.cornerRadius);
    json::field(j, "aspect", out.aspect);
}

} // namespace tarn

size_t std::hash<tarn::EditDocument>::operator()(const tarn::EditDocument &d) const noexcept
{
    return tarn::hashing::all(d.annotations, d.crop, d.backdrop, d.padding, d.cornerRadius, d.aspect);
}
