// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <QRect>

namespace tarn {

// One word of a recognized line, as the engine boxed it in the image it read.
struct RecognizedWord {
    std::string text;
    QRect box;
    float confidence = 0; // 0-100, as the engine gives it
};

// A word of a line and where its text stood in the line's text as the engine first read it
// (npos when it could not be found there), and its characters.
struct PlacedWord {
    RecognizedWord word;
    size_t at = 0, length = 0;
    std::vector<RecognizedWord> characters = {}; // as the engine first read them, each boxed
    std::vector<size_t> loneDots = {};           // those of them that are lone middle dots
};

} // namespace tarn
