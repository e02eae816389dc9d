// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "core/base/Json.h"
#include "core/base/JsonWriter.h"

namespace tarn {

// A position in unit coordinates of the whole source image: x from 0 (left) to 1 (right),
// y from 0 (top) to 1 (bottom). The constructor clamps; fields assigned directly or read
// from JSON keep their numbers unchanged.
struct UnitPoint {
    double x = 0;
    double y = 0;

    UnitPoint() = default;
    UnitPoint(double x, double y);
    static UnitPoint unclamped(double x, double y);

    QPointF scaled(QSizeF size) const { return {x * size.width(), y * size.height()}; }

    friend bool operator==(const UnitPoint &, const UnitPoint &) = default;
};

// A rectangle in unit coordinates; every constructor keeps it inside the unit square.
struct UnitRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    UnitRect() = default;
    UnitRect(double x, double y, double width, double height);
    UnitRect(UnitPoint from, UnitPoint to);
    // A normalised rectangle whose origin is the bottom left, as recognizers that measure from
    // the image's bottom edge report lines (a negative extent first moves the origin), turned
    // into unit coordinates and clamped.
    static UnitRect fromVisionRect(QRectF rect);
    static UnitRect unclamped(double x, double y, double width, double height);
    static UnitRect full() { return {0, 0, 1, 1}; }

    QRectF scaled(QSizeF size) const
    {
        return {x * size.width(), y * size.height(), width * size.width(), height * size.height()};
    }
    UnitRect padded(double amount) const;

    // Containment and overlap with the usual rectangle rules (edges count as inside; an
    // empty rectangle overlaps nothing).
    bool contains(const UnitRect &other) const;
    bool intersects(const UnitRect &other) const;

    friend bool operator==(const UnitRect &, const UnitRect &) = default;
};

// The clamp of one coordinate: NaN and both infinities give 0, then [0, 1].
double unitClamp(double value);

void write(Json::Writer &w, const UnitPoint &value);
void write(Json::Writer &w, const UnitRect &value);
void read(Json::Value j, UnitPoint &out);
void read(Json::Value j, UnitRect &out);

} // namespace tarn

template <> struct std::hash<tarn::UnitPoint> {
    size_t operator()(const tarn::UnitPoint &p) const noexcept;
};
template <> struct std::hash<tarn::UnitRect> {
    size_t operator()(const tarn::UnitRect &r) const noexcept;
};
