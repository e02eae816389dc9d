// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DevModes.h"

#include "app/DemoContent.h"
#include "app/UISmoke.h"
#include "app/devmodes/Benchmarks.h"

namespace tarn::DevModes {

QCoro::Task<> runBenchmark(QString output)
{
    co_await Benchmarks::run(std::move(output),
                             {&DemoContent::benchmarkImage, [] { return DemoContent::makeSamples().at(4).image; }});
}

QCoro::Task<> runUISmoke(AppModel &app, QString output) { co_await UISmoke::run(app, std::move(output)); }

} // namespace tarn::DevModes
