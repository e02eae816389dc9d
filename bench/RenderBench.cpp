// SPDX-License-Identifier: GPL-3.0-or-later
// Flattening benchmarks on one 3840 x 2160 screenshot-like capture:
//   - 24 arrows and 8 redactions;
//   - the same with 4 blur patches, with a cold blur cache (a new image identity every time)
//     and a warm one;
//   - a 720-pixel thumbnail render of it;
//   - the blur copy alone, and the Gaussian on the reduced working copy;
//   - the editor canvas repainting a 7680 x 4320 capture with one blur patch at 1920 x 1080:
//     its blurred copy costs more than the cache's budget, and must still be reused.
// Afterwards the same reduced working copy is blurred by ImageMagick (`convert -blur 0xSIGMA`,
// its file input and output timed separately and taken off) and the ratio is printed.
//
// `--write-benchmark-inputs=<dir>` instead writes the pictures `tarnwick --benchmark` works on,
// bench-input-4k.png and privacy-sample.png, for bench/benchmark-peer.sh.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "../tests/support/RenderFixtures.h"
#include "app/model/DemoContent.h"
#include "core/image/ImageCodec.h"
#include "core/render/BlurRenderer.h"
#include "core/render/GaussianBlur.h"
#include "core/render/RasterRenderer.h"

namespace {

using namespace tarn;
using RenderFixtures::mark;

const QImage &capture()
{
    static const QImage image = RenderFixtures::capture(3840, 2160);
    return image;
}

EditDocument marksDocument(bool withBlur)
{
    EditDocument doc;
    for (int i = 0; i < 24; ++i) {
        const double x = 0.04 * (i % 12) + 0.05, y = 0.2 + 0.3 * (i / 12);
        doc.annotations.push_back(
            mark(MarkupTool::arrow, {{x, y}, {x + 0.08, y + 0.12}}, static_cast<MarkupColor>(i % 4), 4 + i % 5));
    }
    for (int i = 0; i < 8; ++i)
        doc.annotations.push_back(mark(MarkupTool::redact, {{0.1 * i + 0.05, 0.8}, {0.1 * i + 0.12, 0.83}}));
    if (withBlur)
        for (int i = 0; i < 4; ++i)
            doc.annotations.push_back(mark(MarkupTool::blur, {{0.22 * i + 0.04, 0.55}, {0.22 * i + 0.2, 0.7}}));
    return doc;
}

std::vector<Annotation> regularMarks(const EditDocument &doc)
{
    std::vector<Annotation> marks;
    for (const Annotation &a : doc.annotations)
        if (a.tool != MarkupTool::blur && a.tool != MarkupTool::redact)
            marks.push_back(a);
    return marks;
}

void Flatten4K_24Arrows8Redactions(benchmark::State &state)
{
    const EditDocument doc = marksDocument(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(RasterRenderer::render(capture(), doc));
}

void Flatten4K_4Blurs_ColdCache(benchmark::State &state)
{
    const EditDocument doc = marksDocument(true);
    for (auto _ : state) {
        state.PauseTiming();
        const QImage fresh = capture().copy(); // a new identity: the cache cannot know it
        state.ResumeTiming();
        benchmark::DoNotOptimize(RasterRenderer::render(fresh, doc));
    }
}

void Flatten4K_4Blurs_WarmCache(benchmark::State &state)
{
    const EditDocument doc = marksDocument(true);
    RasterRenderer::render(capture(), doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(RasterRenderer::render(capture(), doc));
}

void Thumbnail720_4Blurs_WarmCache(benchmark::State &state)
{
    const EditDocument doc = marksDocument(true);
    RasterRenderer::render(capture(), doc, 720);
    for (auto _ : state)
        benchmark::DoNotOptimize(RasterRenderer::render(capture(), doc, 720));
}

void BlurCopy4K_Cold(benchmark::State &state)
{
    const auto marks = regularMarks(marksDocument(true));
    for (auto _ : state) {
        state.PauseTiming();
        const QImage fresh = capture().copy();
        state.ResumeTiming();
        benchmark::DoNotOptimize(BlurRenderer::image(fresh, marks));
    }
}

// The reduced working copy the blur starts from (2048 x 1152 for a 4K capture).
QImage reducedCopy()
{
    const auto r = BlurRenderer::reduction(capture().width(), capture().height());
    return capture()
        .scaled(r.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
}

double blurSigma() { return BlurRenderer::reduction(capture().width(), capture().height()).radius; }

void GaussianOnReducedCopy(benchmark::State &state)
{
    const QImage reduced = reducedCopy();
    const double sigma = blurSigma();
    for (auto _ : state)
        benchmark::DoNotOptimize(GaussianBlur::blurred(reduced, sigma));
}

// One canvas repaint of an 8K capture with a blur patch, drawn scaled into a 1920 x 1080 view
// as the editor does; the same image object every time, as the open editor keeps it.
void CanvasRepaint8K_Blur(benchmark::State &state)
{
    static const QImage eightK = RenderFixtures::capture(7680, 4320, false);
    EditDocument doc;
    doc.annotations.push_back(mark(MarkupTool::blur, {{0.3, 0.3}, {0.6, 0.5}}));
    doc.annotations.push_back(mark(MarkupTool::arrow, {{0.1, 0.1}, {0.2, 0.2}}));
    QImage view(1920, 1080, QImage::Format_RGBA8888_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&view);
        painter.scale(0.25, 0.25);
        RasterRenderer::draw(eightK, doc, painter);
    }
}

BENCHMARK(Flatten4K_24Arrows8Redactions)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Flatten4K_4Blurs_ColdCache)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Flatten4K_4Blurs_WarmCache)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(Thumbnail720_4Blurs_WarmCache)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BlurCopy4K_Cold)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(GaussianOnReducedCopy)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CanvasRepaint8K_Blur)->Unit(benchmark::kMillisecond)->MinTime(1.0);

template <typename Work> double medianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// ImageMagick blurring the same reduced copy at the same sigma; its raw file reading and
// writing, timed alone, are taken off. Returns a negative value when convert is missing.
double imageMagickBlurMs(const QImage &reduced, double sigma)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("reduced.rgba")), out = dir.filePath(QStringLiteral("out.rgba"));
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    for (int y = 0; y < reduced.height(); ++y)
        file.write(reinterpret_cast<const char *>(reduced.constScanLine(y)), reduced.width() * 4);
    file.close();
    const QString size = QStringLiteral("%1x%2").arg(reduced.width()).arg(reduced.height());
    auto quietly = [](const QStringList &args) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(QStringLiteral("convert"), args);
        return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    auto run = [&](QStringList extra) {
        QStringList args{QStringLiteral("-size"), size, QStringLiteral("-depth"), QStringLiteral("8"),
                         QStringLiteral("rgba:") + in};
        args << extra << QStringLiteral("rgba:") + out;
        return medianMs(3, [&] { quietly(args); });
    };
    if (!quietly({QStringLiteral("-version")}))
        return -1;
    const double io = run({});
    const double blur = run({QStringLiteral("-blur"), QStringLiteral("0x%1").arg(sigma)});
    std::printf("ImageMagick: convert with -blur 0x%.2f %.0f ms, file input and output alone %.0f ms\n", sigma, blur,
                io);
    return blur - io;
}

void comparePeers()
{
    const QImage reduced = reducedCopy();
    const double sigma = blurSigma();
    const auto marks = regularMarks(marksDocument(true));
    const double gaussian = medianMs(7, [&] { GaussianBlur::blurred(reduced, sigma); });
    const double copy = medianMs(7, [&] { BlurRenderer::image(capture().copy(), marks); });
    const double peer = imageMagickBlurMs(reduced, sigma);
    std::printf("\nBlur of the %dx%d working copy at sigma %.2f:\n", reduced.width(), reduced.height(), sigma);
    std::printf("  ours, Gaussian alone           %8.1f ms\n", gaussian);
    std::printf("  ours, whole blur copy (cold)   %8.1f ms (reduction, marks and Gaussian)\n", copy);
    if (peer <= 0) {
        std::printf("  ImageMagick not available\n");
        return;
    }
    std::printf("  ImageMagick -blur              %8.1f ms\n", peer);
    std::printf("  ours / ImageMagick: Gaussian %.4f (%.0fx faster), blur copy %.4f (%.0fx faster)\n", gaussian / peer,
                peer / gaussian, copy / peer, peer / copy);
}

bool writePNG(const QString &path, const QImage &image)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ImageCodec::encode(image, ExportFormat::png, 1)) > 0;
}

// The benchmark's own inputs, drawn by the same generator it calls.
int writeBenchmarkInputs(const QString &folder)
{
    const QDir dir(folder);
    const bool ok = QDir().mkpath(folder) &&
        writePNG(dir.filePath(QStringLiteral("bench-input-4k.png")), DemoContent::benchmarkImage()) &&
        writePNG(dir.filePath(QStringLiteral("privacy-sample.png")), DemoContent::makeSamples().at(4).image);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text in the capture needs the font database
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--write-benchmark-inputs=", 25) == 0)
            return writeBenchmarkInputs(QString::fromLocal8Bit(argv[i] + 25));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    comparePeers();
    return 0;
}
