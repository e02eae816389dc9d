// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include <QColor>

#include "core/base/EnumNames.h"

namespace tarn {

enum class MarkupTool {
    select,
    arrow,
    rectangle,
    roundedRectangle,
    ellipse,
    line,
    pen,
    text,
    badge,
    number,
    highlight,
    blur,
    redact,
    crop
};

enum class MarkupColor { coral, mint, blue, violet, white, black };

enum class BadgeStyle { check, question, cross, warning, heart };

enum class Backdrop { none, aurora, midnight, peach, paper };

enum class FrameAspect { natural, square, wide, portrait };

struct RGB {
    double red;
    double green;
    double blue;
};

// Tool properties.
bool isShape(MarkupTool tool);
bool isPrivacyMask(MarkupTool tool);
bool supportsStrokeWeight(MarkupTool tool);
// The shape menu, in order.
inline constexpr std::array<MarkupTool, 4> shapeTools{MarkupTool::rectangle, MarkupTool::roundedRectangle,
                                                      MarkupTool::ellipse, MarkupTool::line};

RGB components(MarkupColor color);
QColor qColor(MarkupColor color); // sRGB, alpha 1
QColor qColor(BadgeStyle style);  // sRGB, alpha 1
std::optional<double> ratio(FrameAspect aspect);

template <> struct EnumNames<MarkupTool> {
    static constexpr std::array values{
        std::pair{MarkupTool::select, std::string_view("select")},
        std::pair{MarkupTool::arrow, std::string_view("arrow")},
        std::pair{MarkupTool::rectangle, std::string_view("rectangle")},
        std::pair{MarkupTool::roundedRectangle, std::string_view("roundedRectangle")},
        std::pair{MarkupTool::ellipse, std::string_view("ellipse")},
        std::pair{MarkupTool::line, std::string_view("line")},
        std::pair{MarkupTool::pen, std::string_view("pen")},
        std::pair{MarkupTool::text, std::string_view("text")},
        std::pair{MarkupTool::badge, std::string_view("badge")},
        std::pair{MarkupTool::number, std::string_view("number")},
        std::pair{MarkupTool::highlight, std::string_view("highlight")},
        std::pair{MarkupTool::blur, std::string_view("blur")},
        std::pair{MarkupTool::redact, std::string_view("redact")},
        std::pair{MarkupTool::crop, std::string_view("crop")},
    };
};

template <> struct EnumNames<MarkupColor> {
    static constexpr std::array values{
        std::pair{MarkupColor::coral, std::string_view("coral")},
        std::pair{MarkupColor::mint, std::string_view("mint")},
        std::pair{MarkupColor::blue, std::string_view("blue")},
        std::pair{MarkupColor::violet, std::string_view("violet")},
        std::pair{MarkupColor::white, std::string_view("white")},
        std::pair{MarkupColor::black, std::string_view("black")},
    };
};

template <> struct EnumNames<BadgeStyle> {
    static constexpr std::array values{
        std::pair{BadgeStyle::check, std::string_view("check")},
        std::pair{BadgeStyle::question, std::string_view("question")},
        std::pair{BadgeStyle::cross, std::string_view("cross")},
        std::pair{BadgeStyle::warning, std::string_view("warning")},
        std::pair{BadgeStyle::heart, std::string_view("heart")},
    };
};

template <> struct EnumNames<Backdrop> {
    static constexpr std::array values{
        std::pair{Backdrop::none, std::string_view("none")},
        std::pair{Backdrop::aurora, std::string_view("aurora")},
        std::pair{Backdrop::midnight, std::string_view("midnight")},
        std::pair{Backdrop::peach, std::string_view("peach")},
        std::pair{Backdrop::paper, std::string_view("paper")},
    };
};

template <> struct EnumNames<FrameAspect> {
    static constexpr std::array values{
        std::pair{FrameAspect::natural, std::string_view("natural")},
        std::pair{FrameAspect::square, std::string_view("square")},
        std::pair{FrameAspect::wide, std::string_view("wide")},
        std::pair{FrameAspect::portrait, std::string_view("portrait")},
    };
};

} // namespace tarn
