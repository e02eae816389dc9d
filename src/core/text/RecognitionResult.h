// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "core/model/TextRegion.h"

namespace tarn {

// The recognized lines of one image in reading order and how long recognition took.
struct RecognitionResult {
    std::vector<TextRegion> regions;
    double milliseconds = 0;

    // The region texts joined by line feeds.
    std::string text() const
    {
        std::string joined;
        for (size_t i = 0; i < regions.size(); ++i) {
            if (i > 0)
                joined += '\n';
            joined += regions[i].text;
        }
        return joined;
    }
};

} // namespace tarn
