// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

#include "core/model/Annotation.h"

namespace tarn::CanvasHints {

// The one-line hint after the tool's name under the canvas: how to rotate when a badge is
// selected (`selectedTool` is the selected annotation's tool, nothing without a selection),
// else how the current tool is used.
QString canvasHint(std::optional<MarkupTool> selectedTool, MarkupTool tool);

// An annotation's name in the layers list: the tool's name, a text mark's own text, a badge's
// style word followed by "배지".
QString annotationLabel(const Annotation &annotation);

} // namespace tarn::CanvasHints
