// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/UnitGeometry.h"

#include "core/base/JsonReader.h"

#include <algorithm>
#include <cmath>

#include "core/base/Hashing.h"

namespace tarn {

double unitClamp(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value < 0)
        return 0;
    if (value >= 1)
        return 1;
    return value;
}

namespace {

// An extent limited to the room left after its clamped origin.
double clampExtent(double extent, double origin)
{
    if (!std::isfinite(extent))
        return 0;
    const double e = std::max(extent, 0.0);
    return e < 1 - origin ? e : 1 - origin;
}

} // namespace

UnitPoint::UnitPoint(double x, double y) : x(unitClamp(x)), y(unitClamp(y)) { }

UnitPoint UnitPoint::unclamped(double x, double y)
{
    UnitPoint p;
    p.x = x;
    p.y = y;
    return p;
}

UnitRect::UnitRect(double x, double y, double width, double height)
{
    this->x = unitClamp(x);
    this->y = unitClamp(y);
    this->width = clampExtent(width, this->x);
    this->height = clampExtent(height, this->y);
}

UnitRect::UnitRect(UnitPoint from, UnitPoint to)
{
    x = unitClamp(std::min(from.x, to.x));
    y = unitClamp(std::min(from.y, to.y));
    const double dx = from.x - to.x;
    const double dy = from.y - to.y;
    width = std::isfinite(dx) ? clampExtent(std::fabs(dx), x) : 0;
    height = std::isfinite(dy) ? clampExtent(std::fabs(dy), y) : 0;
}

UnitRect UnitRect::fromVisionRect(QRectF rect)
{
    const QRectF r = rect.normalized();
    return UnitRect(r.left(), 1 - r.bottom(), r.width(), r.height());
}

UnitRect UnitRect::unclamped(double x, double y, double width, double height)
{
    UnitRect r;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    return r;
}

UnitRect UnitRect::padded(double amount) const
{
    // std::max(NaN, 0) would keep the NaN; the rectangle clamp below turns it into 0 anyway.
    const double minX = std::max(x - amount, 0.0);
    const double minY = std::max(y - amount, 0.0);
    const double maxX = std::min(x + width + amount, 1.0);
    const double maxY = std::min(y + height + amount, 1.0);
    return UnitRect(minX, minY, maxX - minX, maxY - minY);
}

bool UnitRect::contains(const UnitRect &o) const
{
    return o.x >= x && o.y >= y && o.x + o.width <= x + width && o.y + o.height <= y + height;
}

bool UnitRect::intersects(const UnitRect &o) const
{
    if (!(width > 0 && height > 0 && o.width > 0 && o.height > 0))
        return false;
    return o.x < x + width && x < o.x + o.width && o.y < y + height && y < o.y + o.height;
}

void write(Json::Writer &w, const UnitPoint &p)
{
    w.beginObject();
    Json::field(w, "x", p.x);
    Json::field(w, "y", p.y);
    w.endObject();
}

void write(Json::Writer &w, const UnitRect &r)
{
    w.beginObject();
    Json::field(w, "height", r.height);
    Json::field(w, "width", r.width);
    Json::field(w, "x", r.x);
    Json::field(w, "y", r.y);
    w.endObject();
}

void read(Json::Value j, UnitPoint &out)
{
    Json::field(j, "x", out.x);
    Json::field(j, "y", out.y);
}

void read(Json::Value j, UnitRect &out)
{
    Json::field(j, "x", out.x);
    Json::field(j, "y", out.y);
    Json::field(j, "width", out.width);
    Json::field(j, "height", out.height);
}

} // namespace tarn

size_t std::hash<tarn::UnitPoint>::operator()(const tarn::UnitPoint &p) const noexcept
{
    return tarn::Hashing::all(p.x, p.y);
}

size_t std::hash<tarn::UnitRect>::operator()(const tarn::UnitRect &r) const noexcept
{
    return tarn::Hashing::all(r.x, r.y, r.width, r.height);
}
