// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
// Anything but blanks, and every other gap, stays as it is. `gray` is dark text on a light
// background; `line` is the line's box in it.
std::string separatorBetween(const QImage &gray, const QRect &line, const RecognizedWord &left,
                             const RecognizedWord &right, const std::string &separator);

} // namespace tarn
