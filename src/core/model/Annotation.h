// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/Uuid.h"
#include "core/model/Markup.h"
#include "core/model/UnitGeometry.h"

namespace tarn {

struct TextRegion;

// One markup element of an edit document.
struct Annotation {
    Uuid id;
    MarkupTool tool = MarkupTool::select;
    std::vector<UnitPoint> points;
    MarkupColor color = MarkupColor::coral;
    double weight = 0;
    std::string text;
    int64_t number = 0;
    std::optional<BadgeStyle> badgeStyle;
    std::optional<double> badgeRotation;

    // The whole image without points, else the rectangle of the first and last point.
    UnitRect rect() const;
    // The badge rotation limited to 0...360 degrees; 0 when absent or not finite.
    double resolvedBadgeRotation() const;

    // The black redaction (or blur) mark that covers one recognized line.
    static Annotation redaction(const TextRegion &region);
    static Annotation blurring(const TextRegion &region);

    friend bool operator==(const Annotation &, const Annotation &) = default;
};

void write(Json::Writer &w, const Annotation &value);
void read(Json::Value j, Annotation &out);

} // namespace tarn

template <> struct std::hash<tarn::Annotation> {
    size_t operator()(const tarn::Annotation &a) const noexcept;
};
