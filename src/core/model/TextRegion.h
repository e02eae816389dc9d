// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "core/base/Uuid.h"
#include "core/model/UnitGeometry.h"

namespace tarn {

// One recognized line of text.
struct TextRegion {
    Uuid id;
    std::string text;
    UnitRect rect;
    float confidence = 0;

    friend bool operator==(const TextRegion &, const TextRegion &) = default;
};

void write(Json::Writer &w, const TextRegion &value);
void read(Json::Value j, TextRegion &out);

} // namespace tarn

template <> struct std::hash<tarn::TextRegion> {
    size_t operator()(const tarn::TextRegion &r) const noexcept;
};
