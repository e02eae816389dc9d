// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QImage>
#include <QRect>

namespace tarn {

// Settings windows set controls that carry no text beside their labels: switches, check boxes,
// radio buttons, a slider's groove and knob. The engine reads them as symbols ("©", "CD",
// "( }") with the confidence of real text, and reads the outline of a button or of a value box
// as "|" or "F"; a line boxed with its button's outline also reaches above the label beside
// it, out of its row. Their shapes are what tells them from glyphs: a round, a square or a pill
// closed all round and mirrored both ways, filled and bearing at most a knob, a dot or a tick,
// or drawn as a thin outline; or a long thin bar with its knobs.

// Paints each such shape of a Format_Grayscale8 screenshot over with the background around it:
// whole for a control, only its outline for a button or a box with text inside. A patch that
// reaches past the edge of a card, light or dark, lies on two fills, the card's and the window's:
// its shapes are what stands out from both. `patches` are
// the screenshot's ink patches (inkPatches), where the shapes are looked for. Gives whether
// anything was painted.
bool hideControls(QImage &gray, const std::vector<QRect> &patches);

} // namespace tarn
