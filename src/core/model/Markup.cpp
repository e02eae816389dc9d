// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/Markup.h"

namespace tarn {

bool isShape(MarkupTool tool)
{
    for (MarkupTool shape : shapeTools)
        if (shape == tool)
            return true;
    return false;
}

bool isPrivacyMask(MarkupTool tool) { return tool == MarkupTool::blur || tool == MarkupTool::redact; }

bool supportsStrokeWeight(MarkupTool tool)
{
    switch (tool) {
    case MarkupTool::arrow:
    case MarkupTool::rectangle:
    case MarkupTool::roundedRectangle:
    case MarkupTool::ellipse:
    case MarkupTool::line:
    case MarkupTool::pen:
        return true;
    default:
        return false;
    }
}

RGB components(MarkupColor color)
{
    switch (color) {
    case MarkupColor::coral:
        return {1.0, 0.4, 0.3};
    case MarkupColor::mint:
        return {0.48, 0.93, 0.77};
    case MarkupColor::blue:
        return {0.3, 0.65, 1.0};
    case MarkupColor::violet:
        return {0.72, 0.54, 1.0};
    case MarkupColor::white:
        return {1.0, 1.0, 1.0};
    case MarkupColor::black:
        return {0.0, 0.0, 0.0};
    }
    return {0, 0, 0};
}

QColor qColor(MarkupColor color)
{
    const RGB c = components(color);
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue), 1.0f);
}

QColor qColor(BadgeStyle style)
{
    RGB c{0, 0, 0};
    switch (style) {
    case BadgeStyle::check:
        c = {0.32, 0.72, 0.23};
        break;
    case BadgeStyle::question:
        c = {0.27, 0.48, 0.84};
        break;
    case BadgeStyle::cross:
        c = {0.89, 0.2, 0.15};
        break;
    case BadgeStyle::warning:
        c = {0.96, 0.54, 0.2};
        break;
    case BadgeStyle::heart:
        c = {0.92, 0.2, 0.42};
        break;
    }
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue), 1.0f);
}

std::optional<double> ratio(FrameAspect aspect)
{
    switch (aspect) {
    case FrameAspect::natural:
        return std::nullopt;
    case FrameAspect::square:
        return 1.0;
    case FrameAspect::wide:
        return 16.0 / 9.0;
    case FrameAspect::portrait:
        return 0.8;
    }
    return std::nullopt;
}

} // namespace tarn
