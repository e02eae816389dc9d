// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/TextRecognizer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <iterator>
#include <mutex>
#include <numeric>
#include <time.h>

#include <QPainter>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include "core/base/ImageFailure.h"
#include "core/base/RecognitionFailure.h"
#include "core/base/Uuid.h"
#include "core/text/ControlShapes.h"
#include "core/text/CountBadges.h"
#include "core/text/DarkOnWhite.h"
#include "core/text/ReadingOrder.h"
#include "core/text/TextBlocks.h"

namespace tarn {

namespace {

constexpr int maximumEngines = 4; // beyond this the blocks of a screen rarely keep them busy
constexpr double maximumUpscale = 4;
constexpr double maximumPreparedPixels = 40e6; // keeps an enlarged whole screen within memory
constexpr int countHeights[] = {24, 16, 36};   // heights in pixels the glyphs of a count badge are read at
// A block whose lines are taller than this is a picture's texture, not text: TextBlocks.cpp takes
// an edge longer than 120 px for a border, so no glyph it finds is that tall, and a line is one
// row of glyphs. Such a block is read in tiles of this side.
constexpr int tallestLine = 256;
constexpr int textureTile = 1024;

// A clock that keeps counting while the machine sleeps, like the wall-clock duration asked for.
double nowMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

QImage grayscale(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_Grayscale8);
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    painter.end();
    return opaque.convertToFormat(QImage::Format_Grayscale8);
}

// One block prepared for the engine: isolated on its own background with a margin, dark on
// light, and enlarged when its lines are small.
struct PreparedBlock {
    QImage image;
    QPoint origin; // where the prepared image's (0, 0) lies in the screenshot, before scaling
    double scale = 1;
    bool inverted = false; // dark on light already, whatever the screen's colours
};

// The whole image as one block, with the typical line height of its text blocks.
TextBlock wholeImage(const QImage &gray, InkPatches patches)
{
    std::vector<int> heights;
    for (const TextBlock &block : findTextBlocks(gray, std::move(patches)))
        heights.push_back(block.lineHeight);
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return {gray.rect(), heights.empty() ? 0 : heights[heights.size() / 2], 2, {}};
}

// The block's pixels as they are, on its background; inverted when light on dark.
void isolate(const QImage &gray, const TextBlock &block, int margin, bool invertLightOnDark, PreparedBlock &prepared)
{
    const QRect frame = block.rect.adjusted(-margin, -margin, margin, margin).intersected(gray.rect());
    prepared.image = QImage(block.rect.size() + QSize(2 * margin, 2 * margin), QImage::Format_Grayscale8);
    prepared.image.fill(backgroundLevel(gray, frame));
    for (int y = 0; y < block.rect.height(); ++y)
        std::copy_n(gray.constScanLine(block.rect.top() + y) + block.rect.left(), block.rect.width(),
                    prepared.image.scanLine(margin + y) + margin);
    if (invertLightOnDark && isLightOnDark(gray, frame)) {
        prepared.image.invertPixels();
        prepared.inverted = true;
    }
}

PreparedBlock prepare(const QImage &gray, const TextBlock &block, const RecognitionOptions &options)
{
    PreparedBlock prepared;
    const int margin = std::max(8, block.lineHeight / 2);
    prepared.origin = block.rect.topLeft() - QPoint(margin, margin);
    if (options.invertLightOnDark && !block.lines.empty()) {
        prepared.image = darkOnWhite(gray, block, margin);
        prepared.inverted = true; // nothing is left for the engine to invert
    } else {
        isolate(gray, block, margin, options.invertLightOnDark, prepared);
    }
    if (options.upscaleBelowLineHeight > 0 && block.lineHeight > 0 &&
        block.lineHeight < options.upscaleBelowLineHeight) {
        const double pixels = double(prepared.image.width()) * prepared.image.height();
        prepared.scale = std::min({maximumUpscale, double(options.upscaleBelowLineHeight) / block.lineHeight,
                                   std::sqrt(maximumPreparedPixels / pixels)});
        prepared.scale = std::max(1.0, prepared.scale);
        prepared.image = prepared.image.scaled(qRound(prepared.image.width() * prepared.scale),
                                               qRound(prepared.image.height() * prepared.scale), Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation);
    }
    return prepared;
}

std::vector<RecognizedLine> readBlock(TesseractEngine &engine, const QImage &gray, const TextBlock &block,
                                      const RecognitionOptions &options, const RecognitionLimit &limit)
{
    const PreparedBlock prepared = prepare(gray, block, options);
    // Within a block of one line the engine's own line finder sometimes splits Hangul
    // syllables into two lines; telling it there is one line avoids that.
    const PageLayout layout =
        options.singleLineBlocks && block.lineCount == 1 ? PageLayout::singleLine : options.layout;
    std::vector<RecognizedLine> lines = engine.recognize(prepared.image, layout, !prepared.inverted, limit);
    for (auto &line : lines) {
        const QRectF box(line.box.x() / prepared.scale, line.box.y() / prepared.scale,
                         line.box.width() / prepared.scale, line.box.height() / prepared.scale);
        line.box = box.toAlignedRect().translated(prepared.origin).intersected(gray.rect());
    }
    return lines;
}

// The blocks of a picture's texture in tiles with no line to measure. Laying out a page, which
// nothing can stop, the engine takes a time that grows with the square of the specks of a row,
// minutes for a texture told it is one line, or taken whole; its tiles keep each stretch short.
std::vector<TextBlock> withTexturesInTiles(std::vector<TextBlock> blocks)
{
    std::vector<TextBlock> tiled;
    for (TextBlock &block : blocks) {
        if (block.lineHeight <= tallestLine) {
            tiled.push_back(std::move(block));
            continue;
        }
        for (int y = block.rect.top(); y <= block.rect.bottom(); y += textureTile)
            for (int x = block.rect.left(); x <= block.rect.right(); x += textureTile)
                tiled.push_back({QRect(x, y, textureTile, textureTile).intersected(block.rect), 0, 0, {}});
    }
    return tiled;
}

// The count badges of the screenshot (see CountBadges.h) read as lines of their own, each painted
// over once read. The engine reads a lone digit at one size and not at another, so a badge is read
// at the sizes of small to large text until a reading has its digits.
std::vector<RecognizedLine> readCountBadges(TesseractEngine &engine, QImage &gray, const std::vector<QRect> &patches,
                                            const RecognitionLimit &limit)
{
    std::vector<RecognizedLine> lines;
    for (const CountBadge &badge : findCountBadges(gray, patches))
        for (const int height : {countHeights[0], countHeights[1], countHeights[2]}) {
            limit.check();
            const auto [reading, confidence] = engine.readDigits(glyphsAt(badge, height));
            if (std::string count = countOf(badge, reading, confidence); !count.empty()) {
                // The line's box is its text's, as every other line's: the circle's top lies
                // above the text beside it and would read the count before that text.
                lines.push_back({std::move(count), badge.glyphBox, confidence / 100.0f});
                paintOver(gray, badge);
                break;
            }
        }
    return lines;
}

} // namespace

TextRecognizer::TextRecognizer(std::filesystem::path tessdata, RecognitionOptions options)
    : tessdata_(std::move(tessdata)),
      options_(options)
{
    serializeEngineThreads();
    if (options_.engines <= 0)
        options_.engines = std::clamp(QThread::idealThreadCount(), 1, maximumEngines);
    helpers_.setMaxThreadCount(std::max(1, options_.engines - 1));
    helpers_.setExpiryTimeout(-1);
}

TextRecognizer::~TextRecognizer() { helpers_.waitForDone(); }

std::vector<std::string> TextRecognizer::languages() const
{
    return recognitionLanguages(installedRecognitionLanguages(tessdata_));
}

TesseractEngine &TextRecognizer::engine(size_t index)
{
    // Slots are made before the helpers start, so each helper only touches its own slot.
    auto &slot = engines_[index];
    if (!slot) {
        slot = std::make_unique<TesseractEngine>(tessdata_, loadedLanguages_);
        slot->setRetryLatinWords(options_.retryLatinWords);
        slot->setRereadKoreanWords(options_.rereadKoreanWords);
    }
    return *slot;
}

RecognitionResult TextRecognizer::recognize(const QImage &image, const RecognitionLimit &limit)
{
    const double start = nowMilliseconds();
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        throw ImageFailure::invalidDimensions();
    if (engines_.empty() || !engines_[0]) {
        // Until one engine has loaded, look for the models on every call: they may have been
        // installed since the last attempt.
        const std::string languages = tesseractLanguages(this->languages());
        if (languages.empty())
            throw RecognitionFailure(RecognitionFailure::Case::noLanguageData);
        loadedLanguages_ = languages;
        engines_.clear();
        engines_.resize(size_t(options_.engines));
        engine(0);
    }
    QImage gray = grayscale(image);
    InkPatches patches = inkPatches(gray);
    // The patches serve both the controls and the blocks. A control painted over changes the
    // edges far past it (long borders and their corner arcs are told by their length), so after
    // a painting they are found anew, whole.
    std::vector<RecognizedLine> counts = readCountBadges(engine(0), gray, patches.rects, limit);
    if ((options_.hideControls && hideControls(gray, patches.rects)) || !counts.empty())
        patches = inkPatches(gray);
    std::vector<RecognizedLine> lines = readBlocks(gray, std::move(patches), limit);
    std::move(counts.begin(), counts.end(), std::back_inserter(lines));
    RecognitionResult result;
    result.regions = regionsFromLines(lines, image.size());
    result.milliseconds = nowMilliseconds() - start;
    return result;
}

std::vector<RecognizedLine> TextRecognizer::readBlocks(const QImage &gray, InkPatches patches,
                                                       const RecognitionLimit &limit)
{
    const std::vector<TextBlock> blocks = options_.findBlocks
        ? withTexturesInTiles(findTextBlocks(gray, std::move(patches)))
        : std::vector{wholeImage(gray, std::move(patches))};
    std::vector<std::vector<RecognizedLine>> perBlock(blocks.size());

    // Larger blocks first so that no engine is left with a big one at the end.
    std::vector<size_t> order(blocks.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return int64_t(blocks[a].rect.width()) * blocks[a].rect.height() >
            int64_t(blocks[b].rect.width()) * blocks[b].rect.height();
    });
    std::atomic<size_t> next{0};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto work = [&](size_t engineIndex) {
        try {
            TesseractEngine &reader = engine(engineIndex);
            for (size_t i; (i = next.fetch_add(1)) < order.size();) {
                limit.check();
                perBlock[order[i]] = readBlock(reader, gray, blocks[order[i]], options_, limit);
            }
        } catch (...) {
            std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            next = order.size(); // the others stop after their current block
        }
    };
    const size_t helperCount = std::min(size_t(options_.engines), blocks.size()) - (blocks.empty() ? 0 : 1);
    std::vector<QFuture<void>> helpers;
    for (size_t h = 1; h <= helperCount; ++h)
        helpers.push_back(QtConcurrent::run(&helpers_, work, h));
    work(0);
    for (auto &helper : helpers)
        helper.waitForFinished();
    if (failure)
        std::rethrow_exception(failure);

    std::vector<RecognizedLine> lines;
    for (auto &blockLines : perBlock)
        for (auto &line : blockLines)
            lines.push_back(std::move(line));
    return lines;
}

std::vector<TextRegion> regionsFromLines(const std::vector<RecognizedLine> &lines, QSize imageSize)
{
    std::vector<TextRegion> regions;
    const double width = std::max(1, imageSize.width()), height = std::max(1, imageSize.height());
    for (const auto &line : lines) {
        if (line.text.empty())
            continue; // a line of blanks is not empty and stays
        regions.push_back(TextRegion{
            Uuid::random(), line.text,
            UnitRect(line.box.x() / width, line.box.y() / height, line.box.width() / width, line.box.height() / height),
            std::clamp(line.confidence, 0.0f, 1.0f)});
    }
    sortIntoReadingOrder(regions);
    return regions;
}

} // namespace tarn
