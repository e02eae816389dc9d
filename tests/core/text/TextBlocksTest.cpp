// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/text/DarkOnWhite.h"
#include "core/text/TextBlocks.h"
#include "support/OcrScreens.h"

using namespace tarn;

namespace {

// Korean details in the CJK font, dark or light: a tall vowel stroke beside lower digits ("크기
// 2.4 MB"), names and values in two columns, and buttons, one filled, set close together at
// fractional positions (a thin outline there is spread over two columns).
OcrScreens::Screen koreanDetails(int pixelSize, bool dark = true)
{
    OcrScreens::ScreenPainter p(QStringLiteral("details"), pixelSize * 60, pixelSize * 23,
                                dark ? QColor(32, 33, 36) : QColor(246, 246, 248));
    const QColor text = dark ? OcrScreens::lightText : OcrScreens::darkText;
    const QColor quiet = dark ? QColor(150, 152, 158) : OcrScreens::quietText;
    const QColor outline = dark ? QColor(90, 92, 98) : QColor(190, 190, 196);
    const QColor fill = dark ? QColor(52, 53, 58) : QColor(Qt::white);
    p.text(pixelSize, pixelSize, pixelSize + 2, text, QStringLiteral("정보"), true);
    const QStringList names{QStringLiteral("파일 이름"), QStringLiteral("크기"),      QStringLiteral("해상도"),
                            QStringLiteral("태그"),      QStringLiteral("만든 날짜"), QStringLiteral("마지막 수정")};
    const QStringList values{QStringLiteral("Recording 2026-11-30 14.02.mp4"),
                             QStringLiteral("8.2 MB"),
                             QStringLiteral("2560 x 1440"),
                             QStringLiteral("회의, design, UI 검토"),
                             QStringLiteral("2026년 12월 7일 오후 3:14"),
                             QStringLiteral("3초 전")};
    for (int i = 0; i < names.size(); ++i) {
        p.text(pixelSize, pixelSize * (3.4 + 2.1 * i), pixelSize, quiet, names[i]);
        p.text(pixelSize * 9, pixelSize * (3.4 + 2.1 * i), pixelSize, text, values[i]);
    }
    p.text(pixelSize * 36, pixelSize, pixelSize, quiet, QStringLiteral("마지막 저장: 오후 3:14 · 크기 2.4 MB"));
    // A dialog's buttons laid out from the left, and another row laid out from the right edge.
    double left = pixelSize * 14;
    for (const auto &[label, filled] :
         {std::pair{QStringLiteral("취소"), false}, std::pair{QStringLiteral("다른 위치 선택"), false},
          std::pair{QStringLiteral("다시 시도"), true}}) {
        const QFont font = OcrScreens::ScreenPainter::font(pixelSize);
        const double width = QFontMetricsF(font).horizontalAdvance(label) + 28;
        OcrScreens::fontButton(p, font, QRectF(left, pixelSize * 19.5, width, pixelSize * 2.2),
                               filled ? OcrScreens::accentBlue : fill, filled ? QColor() : outline,
                               filled ? QColor(Qt::white) : text, label);
        left += width + pixelSize;
    }
    const double top = pixelSize * 16, height = pixelSize * 2.2;
    const QFont font = OcrScreens::ScreenPainter::font(pixelSize);
    double x = pixelSize * 58;
    for (const auto &[label, filled] :
         {std::pair{QStringLiteral("종료"), true}, std::pair{QStringLiteral("저장하고 종료"), false},
          std::pair{QStringLiteral("취소"), false}}) {
        const double width = QFontMetricsF(font).horizontalAdvance(label) + 28;
        x -= width;
        OcrScreens::fontButton(p, font, QRectF(x, top, width, height), filled ? OcrScreens::accentBlue : fill,
                               filled ? QColor() : outline, filled ? QColor(Qt::white) : text, label);
        x -= pixelSize;
    }
    return p.take();
}

} // namespace

// Pictures, filled and outlined buttons and highlights beside text: every drawn line lies in
// a block whose line height is that of the text in it, not of a box around it, and that
// holds no picture.
TEST(TextBlocks, boxesAndPicturesAreNoPartOfTheTextBesideThem)
{
    // (A filled button next to an outlined one still measures as one line of the buttons'
    // height, as each stands in the other's way: the notification is left out.)
    for (const OcrScreens::Screen &screen :
         {OcrScreens::photoList(), OcrScreens::outlinedButtons(), OcrScreens::dialogWithButtons(),
          OcrScreens::menuWithHighlight(), OcrScreens::koreanDialogWithPath(), koreanDetails(12), koreanDetails(18),
          koreanDetails(13, false), koreanDetails(18, false)}) {
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

// Every drawn line lies whole in exactly one block: no glyph of it is taken for the side of a
// box, no button's label for the inside of a picture, and no block reaches around another
// (which would read the other's lines twice).
TEST(TextBlocks, eachLineLiesWholeInExactlyOneBlock)
{
    for (const OcrScreens::Screen &screen :
         {OcrScreens::koreanDialogWithPath(), OcrScreens::mixedDetailsPanel(), OcrScreens::koreanStatusLines(),
          koreanDetails(12), koreanDetails(18), koreanDetails(13, false), koreanDetails(18, false),
          // Where "때" runs into Latin text, the two strokes of its vowel come so close that only
          // one edge of them is left, as of a box's side.
          OcrScreens::drawnIn(QStringLiteral("Liberation Sans"),
                              [] { return OcrScreens::settingsWindow(true, true); })}) {
        const QImage gray = screen.image.convertToFormat(QImage::Format_Grayscale8);
        const std::vector<TextBlock> blocks = findTextBlocks(gray);
        for (const OcrScreens::Line &line : screen.lines) {
            const QRect ink = line.ink.toAlignedRect();
            const auto holding = std::count_if(blocks.begin(), blocks.end(),
                                               [&](const TextBlock &b) { return b.rect.contains(ink.center()); });
            const auto whole = std::count_if(blocks.begin(), blocks.end(), [&](const TextBlock &b) {
                return b.rect.adjusted(-2, -2, 2, 2).contains(ink);
            });
            EXPECT_EQ(holding, 1) << qPrintable(screen.name) << ": " << qPrintable(line.text);
            EXPECT_EQ(whole, 1) << qPrintable(screen.name) << ": " << qPrintable(line.text);
        }
    }
}
