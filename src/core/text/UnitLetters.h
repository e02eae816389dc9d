// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// The unit after a number ("650 W", "7.4 kW"): the Korean model reads a capital whose small letter
// is the same shape made smaller (C O S V W X Z) as that small letter ("kw" for "kW"), and a W as
// the strokes it is made of ("\", "\/"). The ink tells them apart: a capital stands as high as
// the digits, a small letter's body about three quarters of that in the interface fonts, and a W
// has two feet where a backslash is one stroke.

// The text of `placed`, a word read in the line boxed `line` in `gray` (dark text on a light
// background), with each such small letter after digits made the capital where its ink stands as
// high as those digits: the word's own, else those of `number`, the box of the number right before
// it (empty when there is none); a word after that number read as strokes is a W where its ink is
// one (see isLetterW). The text as it is where the word's characters do not make it up, or where
// no digit's ink is found to measure them by.
std::string withCapitalsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed, const QRect &number);

} // namespace tarn
