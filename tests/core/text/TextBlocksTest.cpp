// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/text/DarkOnWhite.h"
#include "core/text/TextBlocks.h"
#include "support/OcrScreens.h"

using namespace tarn;

// Pictures, filled and outlined buttons and highlights beside text: every drawn line lies in
// a block whose line height is that of the text in it, not of a box around it, and that
// holds no picture.
TEST(TextBlocks, boxesAndPicturesAreNoPartOfTheTextBesideThem)
{
    // (A filled button next to an outlined one still measures as one line of the buttons'
    // height, as each stands in the other's way: the notification is left out.)
    for (const OcrScreens::Screen &screen : {OcrScreens::photoList(), OcrScreens::outlinedButtons(),
                                             OcrScreens::dialogWithButtons(), OcrScreens::menuWithHighlight()}) {
        const QImage gray = screen.image.convertToFormat(QImage::Format_Grayscale8);
        for (const TextBlock &block : findTextBlocks(gray)) {
            int tallest = 0;
            for (const OcrScreens::Line &line : screen.lines)
                if (block.rect.contains(line.ink.toAlignedRect().center()))
                    tallest = std::max(tallest, line.ink.toAlignedRect().height());
            EXPECT_GT(tallest, 0) << qPrintable(screen.name) << ": a block without text at " << block.rect.x() << ","
                                  << block.rect.y();
            EXPECT_LE(block.lineHeight, tallest + 3) << qPrintable(screen.name) << " at " << block.rect.y();
            if (screen.name == QStringLiteral("pictures beside text")) {
                EXPECT_GE(block.rect.left(), 88) << "thumbnail in the block at " << block.rect.y();
            }
        }
    }
}

// White text on a blue highlight inside a light block comes out dark on white, like the dark
// text above it, and the highlight's edges leave no dark trace.
TEST(TextBlocks, eachRunOfBackgroundIsDrawnDarkOnWhite)
{
    const OcrScreens::Screen screen = OcrScreens::menuWithHighlight();
    const QImage gray = screen.image.convertToFormat(QImage::Format_Grayscale8);
    for (const TextBlock &block : findTextBlocks(gray)) {
        const QImage out = darkOnWhite(gray, block, 8);
        ASSERT_EQ(out.size(), block.rect.size() + QSize(16, 16));
        int dark = 0, light = 0;
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const int v = out.constScanLine(y)[x];
                dark += v < 96;
                light += v > 224;
                // The margin is white, but for the couple of rows a line's ink may spill into.
                if (x < 8 || y < 4 || x >= out.width() - 8 || y >= out.height() - 4) {
                    ASSERT_EQ(v, 255) << "margin at " << x << "," << y;
                }
            }
        // Text is a small part of a block; a missed inversion would make the fill dark.
        EXPECT_GT(dark, 0);
        EXPECT_GT(light, 3 * dark) << block.rect.x() << "," << block.rect.y();
    }
}
