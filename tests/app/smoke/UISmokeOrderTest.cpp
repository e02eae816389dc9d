// SPDX-License-Identifier: GPL-3.0-or-later
// A run is complete only with every check in order: what a group that stops early, skips or
// repeats a check leaves behind is named by the first check that did not run where it should.
#include <gtest/gtest.h>

#include "app/smoke/UISmoke.h"

namespace tarn {
namespace {

QStringList firstChecks(qsizetype count) { return UISmoke::checkNames().mid(0, count); }

TEST(UISmokeOrder, NamesTheFirstCheckThatDidNotRunInItsPlace)
{
    const QStringList all = UISmoke::checkNames();
    const qsizetype total = all.size();
    QStringList swapped = firstChecks(8);
    swapped.swapItemsAt(5, 6);
    QStringList repeated = firstChecks(8);
    repeated.insert(3, all[2]);
    struct Row {
        const char *name;
        QStringList passed;
        qsizetype count;
        QString message;
    };
    const std::vector<Row> rows = {
        {"a complete run", all, total, {}},
        {"nothing expected yet", {}, 0, {}},
        {"the first four of four", firstChecks(4), 4, {}},
        {"a group that skips its last check", firstChecks(3), 4, QStringLiteral("Check did not run: ") + all[3]},
        {"a run that ends one check early", firstChecks(total - 1), total,
         QStringLiteral("Check did not run: ") + all[total - 1]},
        {"nothing passed", {}, total, QStringLiteral("Check did not run: ") + all[0]},
        {"two checks swapped", swapped, 8,
         QStringLiteral("Check did not run in order: ") + all[5] + QStringLiteral(" (ran ") + all[6] + u')'},
        {"a check passed twice", repeated, 8,
         QStringLiteral("Check did not run in order: ") + all[3] + QStringLiteral(" (ran ") + all[2] + u')'},
        {"a group that runs into the next", firstChecks(5), 4, QStringLiteral("Check ran out of order: ") + all[4]},
    };
    for (const Row &row : rows)
        EXPECT_EQ(UISmoke::missingCheck(row.passed, row.count), row.message) << row.name;
}

} // namespace
} // namespace tarn
