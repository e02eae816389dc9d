// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include "core/text/TextBlocks.h"

namespace tarn {

// The block's text drawn dark on white, whatever its colours: light text on a dark panel, on a
// coloured button or highlight beside dark text on a light one. Each line of the block is cut
// into runs of similar background (a button, a highlighted item, the space between them), and
// in each run a pixel is as dark as it differs from that run's background, the run's strongest
// difference black. Rows between lines and runs without text are white, so the edges of fills
// between lines are gone too. The image has the block's size plus `margin` white pixels on
// every side. The block's lines must have been measured.
QImage darkOnWhite(const QImage &gray, const TextBlock &block, int margin);

} // namespace tarn
