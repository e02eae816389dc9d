// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/devmodes/Benchmarks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSysInfo>

#include <qcoro/qcorofuture.h>

#include "core/base/AppError.h"
#include "core/image/ImageCodec.h"
#include "core/model/EditDocument.h"
#include "core/render/RasterRenderer.h"
#include "core/text/TextRecognition.h"

namespace tarn::Benchmarks {

namespace {

const QString domain = QStringLiteral("Tarnwick.Benchmark");
constexpr int timedIterations = 9;
constexpr int recognitionRuns = 3;
constexpr double pngQuality = 0.92;
constexpr int thumbnailEdge = 720;

// A clock that keeps counting while the machine sleeps, in milliseconds.
double clockMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

template <typename Work> double timed(Work &&work)
{
    const double start = clockMilliseconds();
    work();
    return clockMilliseconds() - start;
}

// Eight black masks and 24 coral arrows on a 4 x 8 grid across the lower middle of the image.
EditDocument benchmarkDocument()
{
    EditDocument document;
    document.backdrop = Backdrop::none;
    document.padding = 64;
    document.cornerRadius = 18;
    document.aspect = FrameAspect::natural;
    document.annotations.reserve(32);
    for (int i = 0; i < 32; ++i) {
        Annotation annotation;
        annotation.id = Uuid::random();
        annotation.tool = i % 4 == 0 ? MarkupTool::redact : MarkupTool::arrow;
        const UnitPoint start((i % 8) * 0.1 + 0.1, (i / 8) * 0.1 + 0.4);
        annotation.points = {start, UnitPoint(start.x + 0.045, start.y + 0.055)};
        annotation.color = MarkupColor::coral;
        annotation.weight = 5.0;
        annotation.number = 1;
        document.annotations.push_back(std::move(annotation));
    }
    return document;
}

void createFolder(const QString &output)
{
    const QFileInfo info(output);
    if ((info.exists() && !info.isDir()) || !QDir().mkpath(output))
        throw AppError(1, QStringLiteral("Could not create the output folder ") + output, domain);
}

void writeAtomically(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw AppError(1, QStringLiteral("Could not write ") + path + QStringLiteral(": ") + file.errorString(),
                       domain);
}

QJsonArray toJson(const std::vector<double> &values)
{
    QJsonArray array;
    for (double value : values)
        array.append(value);
    return array;
}

QString operatingSystem()
{
    return QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType() + QLatin1Char(' ') +
        QSysInfo::kernelVersion() + QLatin1Char(')');
}

struct Samples {
    std::vector<double> render, png, thumbnail, recognition;
    int64_t exportedPNGBytes = 0;
    int64_t recognizedRegionCount = 0;
};

void timeRendering(const QImage &image, const EditDocument &document, Samples &samples)
{
    RasterRenderer::render(image, document); // warm-up, untimed
    for (int i = 0; i < timedIterations; ++i) {
        QImage rendered;
        samples.render.push_back(timed([&] { rendered = RasterRenderer::render(image, document); }));
        QByteArray png;
        samples.png.push_back(timed([&] { png = ImageCodec::encode(rendered, ExportFormat::png, pngQuality); }));
        samples.exportedPNGBytes = png.size();
        samples.thumbnail.push_back(timed([&] { ImageCodec::thumbnail(rendered, thumbnailEdge); }));
    }
}

// A recognizer of its own, so the first run is a true cold start.
QCoro::Task<> timeRecognition(const QImage &card, Samples &samples)
{
    TextRecognition recognition;
    for (int run = 0; run < recognitionRuns; ++run) {
        const RecognitionResult result = co_await recognition.recognize(card);
        samples.recognition.push_back(result.milliseconds);
        samples.recognizedRegionCount = int64_t(result.regions.size());
    }
}

QJsonObject report(const Samples &samples)
{
    QJsonArray measurements;
    measurements.append(measurement(QStringLiteral("render_4k_32_annotations"), samples.render).toJson());
    measurements.append(measurement(QStringLiteral("png_encode_4k"), samples.png).toJson());
    measurements.append(measurement(QStringLiteral("thumbnail_720px"), samples.thumbnail).toJson());
    measurements.append(measurement(QStringLiteral("vision_ocr_1600px"), samples.recognition).toJson());
    return QJsonObject{
        {QStringLiteral("generatedAt"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
        {QStringLiteral("operatingSystem"), operatingSystem()},
        {QStringLiteral("processorCount"), qint64(sysconf(_SC_NPROCESSORS_CONF))},
        {QStringLiteral("physicalMemoryBytes"), qint64(sysconf(_SC_PHYS_PAGES)) * qint64(sysconf(_SC_PAGESIZE))},
        {QStringLiteral("build"), buildDescription()},
        {QStringLiteral("input"),
         QStringLiteral("Synthetic 3840x2160 sRGB image, 32 annotations, 9 iterations after one render warm-up. "
                        "OCR: 1600x1000 synthetic contact card, 3 runs including cold start.")},
        {QStringLiteral("comparison"),
         QStringLiteral("No competing screen-capture product was measured in this run. These results do not "
                        "establish comparative superiority. Screen capture, recording FPS, energy and permission "
                        "flows are not part of this benchmark.")},
        {QStringLiteral("measurements"), measurements},
        {QStringLiteral("recognizedRegionCount"), qint64(samples.recognizedRegionCount)},
        {QStringLiteral("exportedPNGBytes"), qint64(samples.exportedPNGBytes)},
    };
}

} // namespace

QJsonObject Measurement::toJson() const
{
    return {{QStringLiteral("name"), name},
            {QStringLiteral("iterations"), qint64(iterations)},
            {QStringLiteral("medianMilliseconds"), medianMilliseconds},
            {QStringLiteral("p95Milliseconds"), p95Milliseconds},
            {QStringLiteral("samplesMilliseconds"), Benchmarks::toJson(samplesMilliseconds)}};
}

Measurement measurement(const QString &name, std::vector<double> samples)
{
    std::vector<double> sorted = samples;
    std::stable_sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const size_t p95 = std::min(size_t(std::ceil(double(n) * 0.95)) - 1, n - 1);
    return {name, int64_t(n), sorted[n / 2], sorted[p95], std::move(samples)};
}

QString buildDescription()
{
    QString description = QStringLiteral(TARN_BUILD_TYPE).toLower();
    if (description.isEmpty())
        description = QStringLiteral("unnamed configuration");
#ifdef __OPTIMIZE__
    description += QStringLiteral(" (-O)");
#else
    description += QStringLiteral(" (unoptimized)");
#endif
#if defined(__SANITIZE_ADDRESS__)
    description += QStringLiteral(", AddressSanitizer");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    description += QStringLiteral(", AddressSanitizer");
#endif
#endif
    return description;
}

QCoro::Task<> run(QString output, Inputs inputs)
{
    createFolder(output);
    const QImage image = inputs.image();
    const EditDocument document = benchmarkDocument();
    Samples samples;
    timeRendering(image, document, samples);
    co_await timeRecognition(inputs.recognitionImage(), samples);

    const QDir folder(output);
    writeAtomically(folder.filePath(QStringLiteral("render-4k-redacted.png")),
                    ImageCodec::encode(RasterRenderer::render(image, document), ExportFormat::png, pngQuality));
    const QByteArray json = QJsonDocument(report(samples)).toJson(QJsonDocument::Indented);
    writeAtomically(folder.filePath(QStringLiteral("benchmark.json")), json);
    std::fputs((QString::fromUtf8(json) + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

} // namespace tarn::Benchmarks
