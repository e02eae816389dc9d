// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/image/AreaScaling.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include <QColorSpace>

namespace tarn {
namespace {

struct Tap {
    int index;
    float weight;
};

// For every output index, the source indexes it covers with their shares (summing to 1).
std::vector<std::vector<Tap>> coverage(int source, int target)
{
    const double scale = double(source) / target;
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(target));
    for (int o = 0; o < target; ++o) {
        const double from = o * scale, to = std::min(double(source), (o + 1) * scale);
        for (int s = int(from); s < int(std::ceil(to)); ++s) {
            const double share = (std::min(to, s + 1.0) - std::max(from, double(s))) / (to - from);
            if (share > 0)
                taps[size_t(o)].push_back({s, float(share)});
        }
    }
    return taps;
}

// One source row reduced to the output's width, four channels per pixel.
void reduceRow(const uchar *line, const std::vector<std::vector<Tap>> &columns, std::vector<float> &out)
{
    for (size_t x = 0; x < columns.size(); ++x) {
        float sum[4] = {0, 0, 0, 0};
        for (const Tap &tap : columns[x]) {
            const uchar *p = line + size_t(tap.index) * 4;
            for (int c = 0; c < 4; ++c)
                sum[c] += p[c] * tap.weight;
        }
        std::copy(sum, sum + 4, out.begin() + std::ptrdiff_t(x * 4));
    }
}

struct Scaling {
    const QImage &working;
    uchar *out; // the result's pixels, taken once (scanLine() would detach from every thread)
    qsizetype outStride;
    std::vector<std::vector<Tap>> columns, rows;
};

// Output rows [first, last).
void scaleRows(const Scaling &scaling, int first, int last)
{
    const auto &[working, out, outStride, columns, rows] = scaling;
    std::vector<float> reduced(columns.size() * 4), sum(reduced.size());
    for (int y = first; y < last; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (const Tap &row : rows[size_t(y)]) {
            reduceRow(working.constScanLine(row.index), columns, reduced);
            for (size_t i = 0; i < sum.size(); ++i)
                sum[i] += reduced[i] * row.weight;
        }
        uchar *line = out + y * outStride;
        for (size_t i = 0; i < sum.size(); ++i)
            line[i] = uchar(std::clamp(std::lround(sum[i]), 0L, 255L));
    }
}

} // namespace

QImage areaScaled(const QImage &working, QSize target)
{
    QImage out(target, working.format());
    if (out.isNull() || working.isNull())
        return QImage();
    out.setColorSpace(working.colorSpace());
    const Scaling scaling{working, out.bits(), out.bytesPerLine(), coverage(working.width(), target.width()),
                          coverage(working.height(), target.height())};
    // A few threads of our own share the rows; the rows of one that cannot start or fails are
    // done again on this thread, so a lack of threads or memory never stops the work.
    const int parts = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    const int step = (target.height() + parts - 1) / parts;
    struct Part {
        int first, last;
        std::atomic<bool> done{false};
    };
    std::vector<std::unique_ptr<Part>> helped;
    std::vector<std::thread> helpers;
    for (int first = step; first < target.height(); first += step) {
        auto *part = helped.emplace_back(new Part{first, std::min(target.height(), first + step)}).get();
        try {
            helpers.emplace_back([&scaling, part] {
                try {
                    scaleRows(scaling, part->first, part->last);
                    part->done = true;
                } catch (...) { }
            });
        } catch (const std::system_error &) { }
    }
    scaleRows(scaling, 0, std::min(step, target.height()));
    for (std::thread &helper : helpers)
        helper.join();
    for (const auto &part : helped)
        if (!part->done)
            scaleRows(scaling, part->first, part->last);
    return out;
}

} // namespace tarn
