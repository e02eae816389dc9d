// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QImage>
#include <QJsonObject>
#include <QString>

#include <qcoro/qcorotask.h>

namespace tarn::Benchmarks {

// One timed operation: its samples in the order taken, their median and 95th percentile.
struct Measurement {
    QString name;
    int64_t iterations = 0;
    double medianMilliseconds = 0;
    double p95Milliseconds = 0;
    std::vector<double> samplesMilliseconds;

    QJsonObject toJson() const;
};

// The median is the upper middle sample (no averaging), the 95th percentile the sample at
// ceil(0.95 n) - 1; `samples` must not be empty.
Measurement measurement(const QString &name, std::vector<double> samples);

// How this program was compiled, for the report: numbers of an unoptimized or instrumented
// build must never pass for release figures.
QString buildDescription();

// The synthetic pictures the benchmark works on, drawn only once the output folder exists.
struct Inputs {
    std::function<QImage()> image;            // 3840 x 2160, rendered with 32 marks
    std::function<QImage()> recognitionImage; // the 1600 x 1000 contact card
};

// Times rendering, PNG encoding, thumbnailing and text recognition on the inputs, writes
// "render-4k-redacted.png" and "benchmark.json" into `output` (created when missing) and
// prints the report. Throws the first failure of any step.
QCoro::Task<> run(QString output, Inputs inputs);

} // namespace tarn::Benchmarks
