// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QSize>
#include <QThreadPool>

#include "core/text/RecognitionLanguages.h"
#include "core/text/RecognitionLimit.h"
#include "core/text/RecognitionResult.h"
#include "core/text/TesseractEngine.h"
#include "core/text/TextBlocks.h"

namespace tarn {

// How a screenshot is prepared for the engine. The defaults are the measured best on
// rendered interface text (see bench/TextRecognitionBench.cpp); the others exist so that
// the benchmark can keep measuring each step against its absence.
struct RecognitionOptions {
    bool findBlocks = true;                      // read each text block separately (and in parallel)
    bool hideControls = true;                    // paint controls and outlines over (see ControlShapes.h)
    int upscaleBelowLineHeight = 40;             // enlarge blocks whose lines are lower (px); 0: never
    bool invertLightOnDark = true;               // draw text dark on white first (see darkOnWhite)
    PageLayout layout = PageLayout::singleBlock; // layout of each block (or of the whole image)
    bool singleLineBlocks = true;                // read blocks of one line as exactly one line
    bool retryLatinWords = true;                 // see TesseractEngine::setRetryLatinWords
    bool rereadKoreanWords = true;               // see TesseractEngine::setRereadKoreanWords
    int engines = 0;                             // engines reading blocks at once; 0: one per core, at most 4

    // The longest one recognition of a stored capture runs (see TextRecognition): some forty
    // times what a 1920x1080 screen full of text takes.
    std::chrono::milliseconds backgroundLimit{60'000};
};

// The synchronous recognizer: turns a bitmap into lines in reading order. Engines are
// loaded on first use and kept. Not thread-safe; TextRecognition serialises the calls.
class TextRecognizer {
public:
    explicit TextRecognizer(std::filesystem::path tessdata = defaultTessdataDirectory(),
                            RecognitionOptions options = {});
    ~TextRecognizer();
    TextRecognizer(const TextRecognizer &) = delete;
    TextRecognizer &operator=(const TextRecognizer &) = delete;

    // Throws RecognitionFailure (no language data, a model that will not load, an image the
    // engine refuses) and ImageFailure::invalidDimensions for an empty image, and what `limit`
    // throws once it is reached.
    RecognitionResult recognize(const QImage &image, const RecognitionLimit &limit = {});

    // The language tags recognition uses, from the models installed now.
    std::vector<std::string> languages() const;

private:
    std::vector<RecognizedLine> readBlocks(const QImage &gray, InkPatches patches, const RecognitionLimit &limit);
    TesseractEngine &engine(size_t index);

    std::filesystem::path tessdata_;
    RecognitionOptions options_;
    std::string loadedLanguages_;
    std::vector<std::unique_ptr<TesseractEngine>> engines_;
    QThreadPool helpers_;
};

// Regions from the engine's lines on an image of `imageSize` pixels: empty lines dropped,
// lines of blanks kept, a new identifier each, unit rectangles, reading order.
std::vector<TextRegion> regionsFromLines(const std::vector<RecognizedLine> &lines, QSize imageSize);

} // namespace tarn
