// SPDX-License-Identifier: GPL-3.0-or-later
#include <QSet>

#include <gtest/gtest.h>

#include "app/widgets/MarkupDisplay.h"

namespace tarn {
namespace {

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
}

} // namespace
} // namespace tarn
