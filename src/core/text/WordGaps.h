// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include <QImage>
#include <QRect>

#include "core/text/RecognizedWord.h"

namespace tarn {

// What really lies between two neighbouring words of a line that the engine separated by
// `separator`. Engines read the underscore of identifiers in small monospaced text as a blank,
// or keep it in a word and add a blank beside it; the image tells. Where the letters' bodies
// leave a gap, a stroke below them that covers most of the gap and ends with it is an
// underscore (an underline runs on under the words); beside a word that holds the underscore
// already, that stroke or a gap narrower than a third of the line means no blank at all.
// Where the script changes (Hangul on one side only), the Korean model joins the words ("캡처12개"
// for "캡처 12개", "OCR결과" for "OCR 결과") even where the line leaves a blank's room between them:
// an empty gap of about the line's `blank` (see blankRoom), and never less than a share of an
// em, is a blank. A lone middle dot that the engine left out of a gap (see middleDotLeftOut)
// comes back between blanks. Anything else, and every other gap, stays as it is. `gray` is dark text on a
// light background; `line` is the line's box in it.
std::string separatorBetween(const QImage &gray, const QRect &line, const RecognizedWord &left,
                             const RecognizedWord &right, const std::string &separator,
                             std::optional<int> blank = std::nullopt);

// The text of `placed`, a word of that line, with the blanks the engine dropped inside it where a
// number meets letters ("650W" for "650 W", "1920x" for "1920 x"): there an empty gap as wide as one
// between words where the script changes is a blank; the side bearings of a number and letters set
// close ("wlp2s0", "5G") leave far less. The text as it is where the word's characters do not make
// it up.
std::string withBlanksItLost(const QImage &gray, const QRect &line, const PlacedWord &placed,
                             std::optional<int> blank = std::nullopt);

} // namespace tarn
