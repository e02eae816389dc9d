// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

namespace tarn {

class AppModel;

// The scripted self-check of the real windows on a freshly seeded demo library.
namespace UISmoke {

// Runs the checks in order on the loaded `app`, writing snapshots, exports and "ui-smoke.json"
// into `output`. The first failed check throws its English message followed by the check's name
// in brackets; no report is written then. So does a run in which any check did not run.
QCoro::Task<> run(AppModel &app, QString output);

// Every check of a complete run, in order.
const QStringList &checkNames();

// Why `passed` is not the first `count` checks of a complete run, naming the first check that
// is missing or out of place; empty when it is exactly those.
QString missingCheck(const QStringList &passed, qsizetype count);

} // namespace UISmoke

} // namespace tarn
