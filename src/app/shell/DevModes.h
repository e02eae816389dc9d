// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <qcoro/qcorotask.h>

namespace tarn {

class AppModel;

// Where the command line hands over to the developer run modes.
namespace DevModes {

// Runs the rendering and text-recognition benchmark into `output` (created when missing).
// Throws on any failure.
QCoro::Task<> runBenchmark(QString output);
// Drives the real windows of the loaded `app` and writes snapshots and a report into `output`.
// Throws an AppError of the domain "Tarnwick.UISmoke", code 1, when a step fails.
QCoro::Task<> runUISmoke(AppModel &app, QString output);

} // namespace DevModes

} // namespace tarn
