// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/Annotation.h"

#include "core/base/JsonReader.h"

#include <algorithm>
#include <cmath>

#include "core/base/Hashing.h"
#include "core/model/CaptureItem.h"

namespace tarn {

UnitRect Annotation::rect() const
{
    if (points.empty())
        return UnitRect::full();
    return UnitRect(points.front(), points.back());
}

double Annotation::resolvedBadgeRotation() const
{
    if (!badgeRotation || !std::isfinite(*badgeRotation))
        return 0;
    return std::clamp(*badgeRotation, 0.0, 360.0);
}

Annotation Annotation::redaction(const TextRegion &region)
{
    const UnitRect r = region.rect.padded(0.006);
    Annotation mark;
    mark.id = Uuid::random();
    mark.tool = MarkupTool::redact;
    mark.points = {UnitPoint(r.x, r.y), UnitPoint(r.x + r.width, r.y + r.height)};
    mark.color = MarkupColor::black;
    mark.weight = 5;
    mark.text = "";
    mark.number = 1;
    return mark;
}

Annotation Annotation::blurring(const TextRegion &region)
{
    Annotation mark = redaction(region);
    mark.tool = MarkupTool::blur;
    return mark;
}

void write(json::Writer &w, const Annotation &a)
{
    w.beginObject();
    json::field(w, "badgeRotation", a.badgeRotation);
    json::field(w, "badgeStyle", a.badgeStyle);
    json::field(w, "color", a.color);
    json::field(w, "id", a.id);
    json::field(w, "number", a.number);
    json::field(w, "points", a.points);
    json::field(w, "text", a.text);
    json::field(w, "tool", a.tool);
    json::field(w, "weight", a.weight);
    w.endObject();
}

void read(json::Value j, Annotation &out)
{
    json::field(j, "id", out.id);
    json::field(j, "tool", out.tool);
    json::field(j, "points", out.points);
    json::field(j, "color", out.color);
    json::field(j, "weight", out.weight);
    json::field(j, "text", out.text);
    json::field(j, "number", out.number);
    json::optionalField(j, "badgeStyle", out.badgeStyle);
    json::optionalField(j, "badgeRotation", out.badgeRotation);
}

} // namespace tarn

size_t std::hash<tarn::Annotation>::operator()(const tarn::Annotation &a) const noexcept
{
    return tarn::hashing::all(a.id, a.tool, a.points, a.color, a.weight, a.text, a.number, a.badgeStyle,
                              a.badgeRotation);
}
