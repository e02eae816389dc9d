// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/Annotation.h"

#include "core/base/JsonReader.h"

#include <algorithm>
#include <cmath>

#include "core/base/Hashing.h"
#include "core/model/TextRegion.h"

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

void write(Json::Writer &w, const Annotation &a)
{
    w.beginObject();
    Json::field(w, "badgeRotation", a.badgeRotation);
    Json::field(w, "badgeStyle", a.badgeStyle);
    Json::field(w, "color", a.color);
    Json::field(w, "id", a.id);
    Json::field(w, "number", a.number);
    Json::field(w, "points", a.points);
    Json::field(w, "text", a.text);
    Json::field(w, "tool", a.tool);
    Json::field(w, "weight", a.weight);
    w.endObject();
}

void read(Json::Value j, Annotation &out)
{
    Json::field(j, "id", out.id);
    Json::field(j, "tool", out.tool);
    Json::field(j, "points", out.points);
    Json::field(j, "color", out.color);
    Json::field(j, "weight", out.weight);
    Json::field(j, "text", out.text);
    Json::field(j, "number", out.number);
    Json::optionalField(j, "badgeStyle", out.badgeStyle);
    Json::optionalField(j, "badgeRotation", out.badgeRotation);
}

} // namespace tarn

size_t std::hash<tarn::Annotation>::operator()(const tarn::Annotation &a) const noexcept
{
    return tarn::Hashing::all(a.id, a.tool, a.points, a.color, a.weight, a.text, a.number, a.badgeStyle,
                              a.badgeRotation);
}
