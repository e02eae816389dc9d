// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <qcoro/qcorotask.h>

namespace tarn {

class AppModel;

// The scripted self-check of the real windows on a freshly seeded demo library.
namespace UISmoke {

// Runs the checks in order on the loaded `app`, writing snapshots, exports and "ui-smoke.json"
// into `output`. The first failed check throws its English message; no report is written then.
QCoro::Task<> run(AppModel &app, QString output);

} // namespace UISmoke

} // namespace tarn
