// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/widgets/MarkupDisplay.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

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
