// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>

#include <gtest/gtest.h>

#include "app/widgets/Eyebrow.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Keycap.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

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
