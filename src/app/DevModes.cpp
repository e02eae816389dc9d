// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DevModes.h"

#include "app/DemoContent.h"
#include "app/devmodes/Benchmarks.h"
#include "core/base/AppError.h"

namespace tarn::DevModes {

QCoro::Task<> runBenchmark(QString output)
{
    co_await Benchmarks::run(std::move(output),
                             {&DemoContent::benchmarkImage, [] { return DemoContent::makeSamples().at(4).image; }});
}

QCoro::Task<> runUISmoke(AppModel &app, QString output)
{
    throw AppError(1, QStringLiteral("the UI smoke run is not part of this build yet"),
                   QStringLiteral("Tarnwick.UISmoke"));
    co_return;
}

} // namespace tarn::DevModes
