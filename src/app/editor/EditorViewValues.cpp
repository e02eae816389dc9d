// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorViewValues.h"

#include <algorithm>
#include <cmath>

#include "core/render/RenderLayout.h"

namespace tarn::EditorViewValues {

double zoomedIn(double zoom) { return std::min(zoom * zoomStep, maximumZoom); }

double zoomedOut(double zoom) { return std::max(zoom / zoomStep, minimumZoom); }

QString zoomLabel(double zoom)
{
    if (zoom == 1)
        return QStringLiteral("맞춤");
    return QString::number(wholeNumber(zoom * 100, 0, maximumZoom * 100)) + QLatin1Char('%');
}

long long wholeNumber(double value, double low, double high)
{
    if (std::isnan(value))
        return 0;
    return static_cast<long long>(std::clamp(value, low, high));
}

double sliderValue(double value, double low, double high)
{
    if (std::isnan(value))
        return low;
    return std::clamp(value, low, high);
}

QString outputSizeText(int imageWidth, int imageHeight, const EditDocument &document)
{
    const QSizeF size = RenderLayout(imageWidth, imageHeight, document).size();
    // The layout keeps its size within what can be drawn, so both fit a long long.
    return QStringLiteral("%1 × %2 PX")
        .arg(static_cast<long long>(size.width()))
        .arg(static_cast<long long>(size.height()));
}

} // namespace tarn::EditorViewValues
