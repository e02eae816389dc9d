// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include "core/model/Annotation.h"

namespace tarn {

struct TextRegion;

// The non-destructive edit state of one capture.
struct EditDocument {
    std::vector<Annotation> annotations;
    std::optional<UnitRect> crop;
    Backdrop backdrop = Backdrop::none;
    double padding = 64;
    double cornerRadius = 18;
    FrameAspect aspect = FrameAspect::natural;

    // The document every new capture starts with.
    static EditDocument initial() { return {}; }

    // True when at least one mark is a black redaction (blur marks do not count).
    bool containsRedactions() const;
    // The recognized lines a viewer of the edited image can still read: inside the crop and
    // clear of every blur and redaction mark, in input order.
    std::vector<TextRegion> visibleTextRegions(const std::vector<TextRegion> &regions) const;

    friend bool operator==(const EditDocument &, const EditDocument &) = default;
};

void write(Json::Writer &w, const EditDocument &value);
void read(Json::Value j, EditDocument &out);

} // namespace tarn

template <> struct std::hash<tarn::EditDocument> {
    size_t operator()(const tarn::EditDocument &d) const noexcept;
};
