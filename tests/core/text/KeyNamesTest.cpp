// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/text/KeyNames.h"

using namespace tarn;

TEST(KeyNames, keyNamesOfShortcutsAreSpelledAndNothingElseChanges)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Ctri+C", "Ctrl+C"},
        {"Ctr1+Shlft+2", "Ctrl+Shift+2"},
        {"Ctril+Shift+3", "Ctrl+Shift+3"},
        {"복사 CTRI+V", "복사 Ctrl+V"},
        {"A|t+Tab", "Alt+Tab"},
        {"Ctrl+Shift+Z", "Ctrl+Shift+Z"},
        {"Ctri is not joined", "Ctri is not joined"},
        {"1+1 = 2", "1+1 = 2"},
        {"Shif+T", "Shif+T"},
        {"", ""},
    };
    for (const auto &[read, spelled] : cases)
        EXPECT_EQ(withKeyNamesSpelled(read), spelled) << read;
}
