// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include "app/widgets/MarkupDisplay.h"
#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

TEST(Theme, EverySymbolHasAGlyph)
{
    QStringList names = Theme::symbols();
    for (int i = 0; i <= int(MarkupTool::crop); ++i)
        names << symbol(MarkupTool(i));
    for (const QString &name : names) {
        const QRectF box(0, 0, 16, 16);
        const QPainterPath path = Theme::symbolPath(name, box);
        EXPECT_FALSE(path.isEmpty()) << name.toStdString();
        EXPECT_TRUE(box.adjusted(-0.5, -0.5, 0.5, 0.5).contains(path.boundingRect())) << name.toStdString();
    }
    EXPECT_TRUE(Theme::symbolPath(QStringLiteral("no.such.symbol"), QRectF(0, 0, 16, 16)).isEmpty());
    EXPECT_TRUE(Theme::symbolImage(QStringLiteral("no.such.symbol"), Palette::teal, 16, 1).isNull());
}

// Share of the glyph's bounding box that the tint covers.
double coverage(const QImage &glyph)
{
    QRect box;
    int covered = 0;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (qAlpha(glyph.pixel(x, y)) > 128) {
                box |= QRect(x, y, 1, 1);
                ++covered;
            }
    return box.isEmpty() ? 1.0 : double(covered) / (box.width() * box.height());
}

// The symbols the sheets draw at 25 to 48 pixels keep their inner lines when tinted, instead of
// turning into a solid plate.
TEST(Theme, LargeSymbolsKeepTheirInnerLines)
{
    Theme::useIconTheme();
    for (const char *name :
         {"display", "rectangle.inset.filled.and.person.filled", "externaldrive.badge.checkmark", "macwindow"})
        for (int size : {25, 31, 48})
            EXPECT_LT(coverage(Theme::symbolImage(QString::fromLatin1(name), Palette::teal, size, 1)), 0.85)
                << name << " at " << size;
}

// Every symbol tinted at the sizes the views use, one row each, for looking at.
TEST(Theme, SymbolSheet)
{
    Theme::useIconTheme();
    const QStringList names = Theme::symbols();
    const int sizes[] = {12, 16, 25, 32, 48};
    QImage sheet(5 * 56 + 8, int(names.size()) * 56 + 8, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Palette::background);
    QPainter painter(&sheet);
    for (qsizetype row = 0; row < names.size(); ++row)
        for (int column = 0; column < 5; ++column) {
            const QImage symbol = Theme::symbolImage(names[row], Palette::teal, sizes[column], 1);
            ASSERT_FALSE(symbol.isNull()) << names[row].toStdString();
            painter.drawImage(8 + column * 56, 8 + int(row) * 56, symbol);
        }
    painter.end();
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    sheet.save(QStringLiteral(TARN_TEST_OUTPUT_DIR) + QStringLiteral("/symbols.png"));
}

} // namespace
} // namespace tarn
