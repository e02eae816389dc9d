// SPDX-License-Identifier: GPL-3.0-or-later
// Encoding a 4K screenshot-like capture as PNG and JPEG, decoding it back, and its 720-pixel
// thumbnail. `--write-input=<file>` writes the same capture as a PNG (and its thumbnail as
// <file>.thumbnail.jpg, for review by eye) and exits, so that bench/imagemagick-peer.sh can time
// ImageMagick on identical pixels.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>

#include "core/image/ImageCodec.h"

using namespace tarn;

namespace {

void drawTextLines(QPainter &p, QRect area, int lineHeight, std::mt19937 &rng, const QColor &ink)
{
    static const char *words[] = {"캡처",   "설정",   "Export", "라이브러리", "const",  "return",
                                  "image",  "편집",   "void",   "width",      "height", "파일",
                                  "QImage", "인식된", "텍스트", "if",         "for"};
    static const QColor accents[] = {QColor(120, 180, 255), QColor(240, 140, 90), QColor(140, 210, 140)};
    for (int y = area.top() + lineHeight; y < area.bottom(); y += lineHeight) {
        int x = area.left() + int(rng() % 4) * 24;
        while (x < area.right() - 160) {
            const QString word = QString::fromUtf8(words[rng() % std::size(words)]);
            p.setPen(rng() % 5 == 0 ? accents[rng() % 3] : ink);
            p.drawText(x, y, word);
            x += p.fontMetrics().horizontalAdvance(word) + 12;
            if (rng() % 9 == 0)
                break;
        }
    }
}

void drawWindow(QPainter &p, QRect frame, bool dark, std::mt19937 &rng)
{
    const QColor body = dark ? QColor(30, 32, 38) : QColor(248, 248, 250);
    p.fillRect(frame, body);
    p.fillRect(QRect(frame.topLeft(), QSize(frame.width(), 56)), dark ? QColor(44, 46, 54) : QColor(225, 226, 230));
    const QColor buttons[] = {QColor(255, 95, 86), QColor(255, 189, 46), QColor(39, 201, 63)};
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(buttons[i]);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(frame.left() + 28 + i * 34, frame.top() + 28), 10, 10);
    }
    const QRect sidebar(frame.left(), frame.top() + 56, 420, frame.height() - 56);
    p.fillRect(sidebar, dark ? QColor(36, 38, 45) : QColor(236, 237, 241));
    for (int i = 0; i < 18; ++i)
        p.fillRect(QRect(sidebar.left() + 24, sidebar.top() + 30 + i * 70, 36, 36), buttons[i % 3].darker(140));
    p.setFont(QFont(QStringLiteral("Noto Sans CJK KR"), 22));
    drawTextLines(p, sidebar.adjusted(80, 0, 0, 0), 70, rng, dark ? QColor(200, 200, 205) : QColor(40, 40, 45));
    p.setFont(QFont(QStringLiteral("Noto Sans Mono CJK KR"), 20));
    drawTextLines(p, frame.adjusted(460, 80, -40, -40), 38, rng, dark ? QColor(220, 220, 220) : QColor(30, 30, 30));
}

// A photograph-like region: smooth colour fields with grain.
void drawPhoto(QImage &image, QRect area, std::mt19937 &rng)
{
    std::normal_distribution<float> grain(0, 6);
    for (int y = area.top(); y < area.bottom(); ++y) {
        auto *row = reinterpret_cast<uint8_t *>(image.scanLine(y));
        for (int x = area.left(); x < area.right(); ++x) {
            const float u = float(x - area.left()) / area.width(), v = float(y - area.top()) / area.height();
            const float r = 90 + 120 * u + grain(rng), g = 140 + 60 * std::sin(6 * v) + grain(rng),
                        b = 200 - 100 * v * u + grain(rng);
            row[4 * x] = uint8_t(std::clamp(r, 0.f, 255.f));
            row[4 * x + 1] = uint8_t(std::clamp(g, 0.f, 255.f));
            row[4 * x + 2] = uint8_t(std::clamp(b, 0.f, 255.f));
            row[4 * x + 3] = 255;
        }
    }
}

QImage screenshot4K()
{
    QImage image(3840, 2160, QImage::Format_RGBA8888_Premultiplied);
    std::mt19937 rng(42);
    {
        QPainter p(&image);
        QLinearGradient wallpaper(0, 0, 3840, 2160);
        wallpaper.setColorAt(0, QColor(32, 60, 110));
        wallpaper.setColorAt(1, QColor(150, 80, 140));
        p.fillRect(image.rect(), wallpaper);
        drawWindow(p, QRect(120, 100, 2500, 1700), true, rng);
        drawWindow(p, QRect(2000, 360, 1700, 1500), false, rng);
        p.fillRect(QRect(0, 2090, 3840, 70), QColor(20, 20, 24));
        for (int i = 0; i < 14; ++i)
            p.fillRect(QRect(40 + i * 80, 2100, 50, 50), QColor::fromHsv(i * 25, 160, 220));
    }
    drawPhoto(image, QRect(2500, 900, 1000, 640), rng);
    return image;
}

const QImage &input()
{
    static const QImage image = screenshot4K();
    return image;
}

void pngEncode4K(benchmark::State &state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = ImageCodec::encode(input(), ExportFormat::png, 0.92));
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(pngEncode4K)->Unit(benchmark::kMillisecond)->UseRealTime();

void jpegEncode4K(benchmark::State &state)
{
    QByteArray out;
    for (auto _ : state)
        benchmark::DoNotOptimize(out = ImageCodec::encode(input(), ExportFormat::jpeg, 0.92));
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(jpegEncode4K)->Unit(benchmark::kMillisecond)->UseRealTime();

void thumbnail720(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCodec::thumbnail(input(), 720));
}
BENCHMARK(thumbnail720)->Unit(benchmark::kMillisecond)->UseRealTime();

void pngRead4K(benchmark::State &state)
{
    const QByteArray png = ImageCodec::encode(input(), ExportFormat::png, 0.92);
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCodec::read(png));
}
BENCHMARK(pngRead4K)->Unit(benchmark::kMillisecond)->UseRealTime();

void jpegRead4K(benchmark::State &state)
{
    const QByteArray jpeg = ImageCodec::encode(input(), ExportFormat::jpeg, 0.92);
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCodec::read(jpeg));
}
BENCHMARK(jpegRead4K)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text needs the font database
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-input=", 14) == 0) {
            const QString path = QString::fromLocal8Bit(argv[i] + 14);
            QFile file(path), thumbnail(path + QStringLiteral(".thumbnail.jpg"));
            const bool ok = file.open(QIODevice::WriteOnly) &&
                file.write(ImageCodec::encode(input(), ExportFormat::png, 1)) > 0 &&
                thumbnail.open(QIODevice::WriteOnly) &&
                thumbnail.write(ImageCodec::encode(ImageCodec::thumbnail(input(), 720), ExportFormat::jpeg, 0.84)) > 0;
            return ok ? 0 : 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
