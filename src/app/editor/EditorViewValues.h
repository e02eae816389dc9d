// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/base/EnumNames.h"
#include "core/model/EditDocument.h"

namespace tarn::EditorViewValues {

inline constexpr double zoomStep = 1.25;
inline constexpr double minimumZoom = 0.2;
inline constexpr double maximumZoom = 5.0;

// One press of the canvas bar's zoom buttons, kept within 0.2 to 5.
double zoomedIn(double zoom);
double zoomedOut(double zoom);
// The fit button's face: "맞춤" at exactly 1, else the zoom in whole percent ("125%").
QString zoomLabel(double zoom);

// A stored number shown as a whole number beside a control running from `low` to `high`: the
// fraction is cut off, a value outside the range shows the nearer end and a value that is no
// number shows 0. A damaged library can hold any of these; none of them may break the panel.
long long wholeNumber(double value, double low, double high);
// The position of a slider for such a value: inside the range, its low end for no number.
double sliderValue(double value, double low, double high);

// The footer's size of the flattened output: "1128 × 728 PX".
QString outputSizeText(int imageWidth, int imageHeight, const EditDocument &document);

// A case's stored name as text, for object names ("editor.shapes.ellipse").
template <typename E> QString caseText(E value)
{
    const std::string_view name = caseName(value);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace tarn::EditorViewValues
