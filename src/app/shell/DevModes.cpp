// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/DevModes.h"

#include "app/devmodes/Benchmarks.h"
#include "app/model/DemoContent.h"
#include "app/smoke/UISmoke.h"

namespace tarn::DevModes {

QCoro::Task<> runBenchmark(QString output)
{
    co_await Benchmarks::run(std::move(output),
                             {&DemoContent::benchmarkImage, [] { return DemoContent::makeSamples().at(4).image; }});
}

QCoro::Task<> runUISmoke(AppModel &app, QString output) { co_await UISmoke::run(app, std::move(output)); }

} // namespace tarn::DevModes
