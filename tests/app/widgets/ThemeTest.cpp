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
