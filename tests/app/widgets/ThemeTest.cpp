// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <limits>

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

#include "app/ProductInfo.h"
#include "app/widgets/DisplayFormat.h"
#include "app/widgets/Eyebrow.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Keycap.h"
#include "app/widgets/MarkupDisplay.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

TEST(DisplayFormat, DurationsTruncateAndSwitchToHoursAtOneHour)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char *> cases[] = {
        {0, "00:00"},      {59.9, "00:59"},   {61, "01:01"},           {3599.99, "59:59"},
        {3600, "1:00:00"}, {3723, "1:02:03"}, {86399, "23:59:59"},     {-5, "00:00"},
        {inf, "00:00"},    {-inf, "00:00"},   {std::nan(""), "00:00"}, {1e30, "2500000000000000:00:00"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(DisplayFormat::duration(seconds), QString::fromLatin1(text)) << seconds;
}

TEST(ProductInfo, VersionFallsBackWhenTheApplicationDeclaresNone)
{
    EXPECT_EQ(ProductInfo::version(), QStringLiteral("0.1.6"));
}

TEST(Palette, ColoursAreTheByteValues)
{
    EXPECT_EQ(Palette::background.rgb(), 0xFF10151Cu);
    EXPECT_EQ(Palette::accent.rgb(), 0xFFCEFAA0u);
    EXPECT_EQ(Palette::coral.rgb(), 0xFFFF8678u);
    EXPECT_EQ(Palette::muted.rgb(), 0xFF8796A5u);
}

TEST(MarkupDisplay, ShortcutLettersAreUniqueAndRedactionHasNone)
{
    QSet<QString> letters;
    for (int i = 0; i <= int(MarkupTool::crop); ++i) {
        const auto tool = MarkupTool(i);
        EXPECT_FALSE(label(tool).isEmpty());
        EXPECT_FALSE(symbol(tool).isEmpty());
        if (tool == MarkupTool::redact) {
            EXPECT_TRUE(key(tool).isEmpty());
            continue;
        }
        ASSERT_EQ(key(tool).size(), 1);
        EXPECT_TRUE(key(tool)[0].isLower());
        EXPECT_FALSE(letters.contains(key(tool))) << key(tool).toStdString();
        letters.insert(key(tool));
    }
    EXPECT_EQ(label(MarkupTool::rectangle), QStringLiteral("정사각형"));
    EXPECT_EQ(symbol(MarkupTool::roundedRectangle), QStringLiteral("rectangle"));
    EXPECT_EQ(colors(Backdrop::aurora)[1].rgb(), 0xFFD1E3A8u);
}

TEST(Theme, EverySymbolResolvesInTheIconTheme)
{
    Theme::useIconTheme();
    for (int i = 0; i <= int(MarkupTool::crop); ++i)
        EXPECT_FALSE(Theme::iconName(symbol(MarkupTool(i))).isEmpty()) << symbol(MarkupTool(i)).toStdString();
    for (const QString &name : Theme::symbols()) {
        const QIcon icon = Theme::icon(name);
        EXPECT_FALSE(icon.isNull()) << name.toStdString();
        EXPECT_FALSE(icon.pixmap(16, 16).isNull()) << name.toStdString();
    }
    EXPECT_TRUE(Theme::iconName(QStringLiteral("no.such.symbol")).isEmpty());
}

TEST(TarnButtonStyle, ProminentWinsOverDestructive)
{
    const TarnButtonStyle both{true, true};
    const TarnButtonStyle prominent{true, false};
    EXPECT_EQ(both.labelColor(), prominent.labelColor());
    EXPECT_EQ(both.backgroundColor(), Palette::accent);
    EXPECT_EQ((TarnButtonStyle{false, true}).labelColor(), Palette::coral);
    EXPECT_EQ((TarnButtonStyle{false, true}).backgroundColor(), Palette::raised);
    EXPECT_EQ(TarnButtonStyle{}.labelColor(), Palette::text);
}

// Draws the shared controls on the dark background so they can be looked at, and checks the
// plate colours where nothing else is drawn.
TEST(SharedControls, RenderWithTheirPlatesAndSizes)
{
    Theme::useIconTheme();
    QWidget board;
    board.setAutoFillBackground(true);
    QPalette colors = board.palette();
    colors.setColor(QPalette::Window, Palette::background);
    board.setPalette(colors);
    board.resize(420, 120);
    auto *prominent = new TarnButton(QStringLiteral("녹화 시작"), {true, false}, &board);
    auto *destructive = new TarnButton(QStringLiteral("휴지통으로 이동"), {false, true}, &board);
    auto *plain = new TarnButton(QStringLiteral("취소"), {}, &board);
    auto *icon = new IconButton(QStringLiteral("slider.horizontal.3"), QStringLiteral("설정"), &board);
    auto *eyebrow = new Eyebrow(QStringLiteral("WORKSPACE"), Palette::muted, &board);
    auto *keycap = new Keycap(QStringLiteral("Ctrl+F"), &board);
    prominent->move(10, 10);
    destructive->move(prominent->x() + prominent->sizeHint().width() + 10, 10);
    plain->move(destructive->x() + destructive->sizeHint().width() + 10, 10);
    icon->move(10, 70);
    eyebrow->move(60, 80);
    keycap->move(200, 76);
    for (QWidget *widget : board.findChildren<QWidget *>())
        widget->resize(widget->sizeHint());
    const QImage image = board.grab().toImage();
    QDir().mkpath(QStringLiteral(TARN_TEST_OUTPUT_DIR));
    image.save(QStringLiteral(TARN_TEST_OUTPUT_DIR) + QStringLiteral("/shared-controls.png"));

    EXPECT_EQ(icon->size(), QSize(32, 32));
    EXPECT_EQ(icon->toolTip(), QStringLiteral("설정"));
    EXPECT_EQ(icon->accessibleName(), QStringLiteral("설정"));
    EXPECT_EQ(prominent->sizeHint().height(), QFontMetrics(TarnButtonStyle::font()).height() + 22);
    EXPECT_EQ(image.pixelColor(prominent->x() + 4, prominent->y() + prominent->height() / 2).rgb(),
              Palette::accent.rgb());
    EXPECT_EQ(image.pixelColor(plain->x() + 4, plain->y() + plain->height() / 2).rgb(), Palette::raised.rgb());
    EXPECT_EQ(Eyebrow::font().pixelSize(), 10);
    EXPECT_EQ(Keycap::font().pixelSize(), 10);
}

} // namespace
} // namespace tarn

namespace tarn {
namespace {

// A control that cannot be pressed must not look like one that can: the views disable their
// buttons while the library is busy or not ready.
TEST(SharedControls, DisabledControlsLookDifferentFromEnabledOnes)
{
    Theme::useIconTheme();
    IconButton icon(QStringLiteral("trash"), QStringLiteral("휴지통"));
    TarnButton prominent(QStringLiteral("녹화 시작"), {true, false});
    TarnButton plain(QStringLiteral("취소"));
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{&icon, &prominent, &plain}) {
        button->resize(button->sizeHint());
        const QImage enabled = button->grab().toImage();
        button->setEnabled(false);
        const QImage disabled = button->grab().toImage();
        EXPECT_NE(enabled, disabled) << button->accessibleName().toStdString() << button->text().toStdString();
    }
}

} // namespace
} // namespace tarn
