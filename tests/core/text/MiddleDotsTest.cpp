// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include "core/text/DarkOnWhite.h"
#include "core/text/MiddleDots.h"
#include "core/text/TextBlocks.h"

using namespace tarn;

namespace {

constexpr int enlargement = 3; // small text is read enlarged, as the recognizer prepares it
constexpr int margin = 8;

struct DrawnLine {
    QImage gray;
    QRect line;   // the line's ink
    QRect marked; // the place of the character at `at`, as the engine would box it
};

// `text` in `family` (the system's font when empty) at `pixelSize` in `color` on `background`,
// prepared as the recognizer prepares a block: drawn dark on white, then enlarged.
DrawnLine draw(const QString &family, int pixelSize, bool bold, QColor color, QColor background, const QString &text,
               int at)
{
    QFont font;
    if (!family.isEmpty())
        font.setFamilies({family});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    const QFontMetricsF metrics(font);
    QImage image(int(metrics.horizontalAdvance(text)) + 40, int(metrics.height()) + 40, QImage::Format_RGB32);
    image.fill(background);
    const QPointF baseline(20, 20 + metrics.ascent());
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(baseline, text);
    painter.end();
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const std::vector<TextBlock> blocks = findTextBlocks(gray);
    if (blocks.size() != 1)
        return {};
    const QPointF origin = blocks.front().rect.topLeft() - QPoint(margin, margin);
    auto prepared = [&](const QRectF &r) {
        const QRectF moved = r.translated(-origin);
        return QRectF(moved.x() * enlargement, moved.y() * enlargement, moved.width() * enlargement,
                      moved.height() * enlargement)
            .toAlignedRect();
    };
    const QImage dark = darkOnWhite(gray, blocks.front(), margin);
    const QRectF ink = metrics.tightBoundingRect(text).translated(baseline);
    const QRectF glyph(baseline.x() + metrics.horizontalAdvance(text.left(at)), ink.top(),
                       metrics.horizontalAdvance(text.mid(at, 1)), ink.height());
    return {dark.scaled(dark.size() * enlargement, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), prepared(ink),
            prepared(glyph)};
}

} // namespace

// A dot between blanks is a lone middle dot in the system's font and in the CJK font at the
// sizes of status lines and details; a dot set between words, a hyphen, a dash and a full stop
// are not.
TEST(MiddleDots, aDotWithABlanksRoomOnEitherSideIsALoneMiddleDot)
{
    struct Case {
        QString text;
        int at;
        bool lone;
        bool bold = false;
    };
    const Case cases[] = {
        {QStringLiteral("저장됨 · 오후 3:14"), 4, true},
        {QStringLiteral("캡처 12개 · 48.2 MB"), 7, true},
        {QStringLiteral("1920 x 1080 · 2 MB"), 12, true},
        {QStringLiteral("사진·동영상·문서"), 2, false},
        {QStringLiteral("PNG·JPEG"), 3, false},
        {QStringLiteral("회의록 초안 - 디자인 검토"), 7, false},
        {QStringLiteral("2026-12-07 – 캡처"), 11, false},
        {QStringLiteral("2026-12-07 - 캡처 12개"), 11, false},
        {QStringLiteral("회의록 초안 - 디자인 검토"), 7, false, true},
        {QStringLiteral("1920 x 1080 - 2 MB"), 12, false},
        {QStringLiteral("끝   .   다음 항목"), 4, false},
    };
    const std::pair<QColor, QColor> schemes[] = {{QColor(28, 28, 30), QColor(246, 246, 248)},
                                                 {QColor(150, 152, 158), QColor(32, 33, 36)}};
    for (const QString &family : {QString(), QStringLiteral("Noto Sans CJK KR")})
        for (const int size : {12, 13, 15, 18})
            for (const auto &[color, background] : schemes)
                for (const Case &c : cases) {
                    const DrawnLine drawn = draw(family, size, c.bold, color, background, c.text, c.at);
                    ASSERT_FALSE(drawn.gray.isNull()) << qPrintable(c.text);
                    const bool hangul = c.text.contains(QRegularExpression(QStringLiteral("[가-힣]")));
                    EXPECT_EQ(isLoneMiddleDot(drawn.gray, drawn.line, {"ㆍ", drawn.marked, 80}, hangul), c.lone)
                        << qPrintable(c.text) << " in " << qPrintable(family) << " " << size << " px on "
                        << qPrintable(background.name());
                }
}

TEST(MiddleDots, onlyDotsDashesAndStopsMayStandForTheMiddleDot)
{
    const std::pair<const char *, bool> readings[] = {{"ㆍ", true}, {"-", true},  {"·", true},    {".", true},
                                                      {"—", true},  {"•", false}, {"ㆍ-", false}, {"", false}};
    for (const auto &[reading, may] : readings)
        EXPECT_EQ(mayBeMiddleDot(reading), may) << reading;
}
