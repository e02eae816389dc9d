// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

namespace tarn::Fonts {

// The one font choice of every drawing (canvas, thumbnails, exports, interface): the system's
// UI font first, then Noto Sans CJK KR for what it lacks (Hangul above all).
QStringList families();

// A font of those families at a whole pixel size (at least 1), unhinted so that text keeps
// its layout at every render scale.
QFont font(int pixelSize, QFont::Weight weight = QFont::Normal);

} // namespace tarn::Fonts
