// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>

namespace tarn {

// The rows of one line's ink, first and last inclusive.
struct InkRows {
    int first = 0, last = 0;
};

// A patch of a screenshot that holds text: one line or a few lines set close together.
struct TextBlock {
    QRect rect;                 // in pixels of the analysed image
    int lineHeight = 0;         // typical height of one line's ink, in pixels
    int lineCount = 1;          // runs of rows with ink, one per line
    std::vector<InkRows> lines; // those runs, top to bottom, in rows of the analysed image
};

// Finds the text blocks of a grayscale (Format_Grayscale8) screenshot, in top-to-bottom scan
// order. Text is found by its short, steep horizontal edges; long vertical edges (panel and
// window borders) are ignored, so panels do not swallow the text inside them and columns
// side by side stay apart, and so are the sides of buttons, highlights and pictures, so that
// a line's height is its text's.
std::vector<TextBlock> findTextBlocks(const QImage &gray);

// The short steep edges of a grayscale screenshot (text, and controls and outlines beside it)
// and the patches they group into, as findTextBlocks first finds them, before it tells boxes
// from text.
struct InkPatches {
    std::vector<uint8_t> edges; // per pixel, row after row: whether it lies on such an edge
    std::vector<QRect> rects;
};
InkPatches inkPatches(const QImage &gray);
// findTextBlocks, from the ink patches of the same image found before.
std::vector<TextBlock> findTextBlocks(const QImage &gray, InkPatches patches);

// The levels of the frame of pixels around `rect`'s inside edge, within the image, and their count.
struct FrameLevels {
    std::array<int, 256> histogram{};
    int count = 0;
};
FrameLevels frameLevels(const QImage &gray, const QRect &rect);

// The value of the frame of pixels around `rect`'s inside edge: the block's background.
int backgroundLevel(const QImage &gray, const QRect &rect);
int backgroundLevel(const FrameLevels &frame);

// Whether the text of `rect` is lighter than its background (light text on a dark panel).
bool isLightOnDark(const QImage &gray, const QRect &rect);

} // namespace tarn
