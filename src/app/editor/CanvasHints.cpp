// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/CanvasHints.h"

#include "app/editor/ToolGlyphs.h"

#include "app/widgets/MarkupDisplay.h"

namespace tarn::CanvasHints {

QString canvasHint(std::optional<MarkupTool> selectedTool, MarkupTool tool)
{
    if (selectedTool == MarkupTool::badge)
        return QStringLiteral("파란 점 드래그 회전 · Shift 15° 단위 · ESC 취소");
    switch (tool) {
    case MarkupTool::select:
        return QStringLiteral("드래그하여 이동 · 클릭하여 주석 선택");
    case MarkupTool::text:
        return QStringLiteral("텍스트 입력 후 캔버스 클릭");
    case MarkupTool::badge:
        return QStringLiteral("클릭하여 배지 추가 · 기존 배지 클릭 후 회전");
    case MarkupTool::blur:
        return QStringLiteral("드래그하여 흐림 영역 지정 · SPACE 이동");
    default:
        return QStringLiteral("드래그하여 그리기 · SPACE 이동");
    }
}

QString annotationLabel(const Annotation &annotation)
{
    switch (annotation.tool) {
    case MarkupTool::text:
        return QString::fromStdString(annotation.text);
    case MarkupTool::badge:
        return ToolGlyphs::badgeStyleName(annotation.badgeStyle.value_or(BadgeStyle::check)) + QStringLiteral(" 배지");
    default:
        return label(annotation.tool);
    }
}

} // namespace tarn::CanvasHints
