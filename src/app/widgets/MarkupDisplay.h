// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QColor>
#include <QString>

#include "core/model/Markup.h"

namespace tarn {

// How the editor shows its tools: the one-letter canvas shortcut (empty for redaction), the
// Korean name and the symbol name.
QString key(MarkupTool tool);
QString label(MarkupTool tool);
QString symbol(MarkupTool tool);

// The two swatch colours that stand for a background frame in the frame picker.
std::array<QColor, 2> colors(Backdrop backdrop);

} // namespace tarn
