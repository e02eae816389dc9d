// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/MarkupDisplay.h"

namespace tarn {

namespace {

struct ToolDisplay {
    const char *key;
    const char *label;
    const char *symbol;
};

ToolDisplay display(MarkupTool tool)
{
    switch (tool) {
    case MarkupTool::select:
        return {"v", "이동", "cursorarrow"};
    case MarkupTool::arrow:
        return {"a", "화살표", "arrow.up.right"};
    case MarkupTool::rectangle:
        return {"r", "정사각형", "square"};
    case MarkupTool::roundedRectangle:
        return {"u", "둥근 사각형", "rectangle"};
    case MarkupTool::ellipse:
        return {"e", "원", "circle"};
    case MarkupTool::line:
        return {"l", "선", "line.diagonal"};
    case MarkupTool::pen:
        return {"p", "펜", "pencil.tip"};
    case MarkupTool::text:
        return {"t", "텍스트", "textformat"};
    case MarkupTool::badge:
        return {"b", "배지", "checkmark.seal"};
    case MarkupTool::number:
        return {"n", "단계 번호", "1.circle"};
    case MarkupTool::highlight:
        return {"h", "하이라이트", "highlighter"};
    case MarkupTool::blur:
        return {"x", "흐림", "square.dashed.inset.filled"};
    case MarkupTool::redact:
        return {"", "검정 마스킹", "rectangle.fill"};
    case MarkupTool::crop:
        return {"c", "자르기", "crop"};
    }
    return {"", "", ""};
}

} // namespace

QString key(MarkupTool tool) { return QString::fromUtf8(display(tool).key); }
QString label(MarkupTool tool) { return QString::fromUtf8(display(tool).label); }
QString symbol(MarkupTool tool) { return QString::fromUtf8(display(tool).symbol); }

std::array<QColor, 2> colors(Backdrop backdrop)
{
    switch (backdrop) {
    case Backdrop::none:
        return {QColor(0x31, 0x3C, 0x47), QColor(0x1B, 0x23, 0x2D)};
    case Backdrop::aurora:
        return {QColor(0x17, 0x54, 0x59), QColor(0xD1, 0xE3, 0xA8)};
    case Backdrop::midnight:
        return {QColor(0x1A, 0x1F, 0x40), QColor(0x85, 0x69, 0xAD)};
    case Backdrop::peach:
        return {QColor(0xFA, 0xC4, 0xA6), QColor(0xAB, 0x75, 0xAB)};
    case Backdrop::paper:
        return {QColor(0xF2, 0xF0, 0xE3), QColor(0xD9, 0xDE, 0xCF)};
    }
    return {};
}

} // namespace tarn
