// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QRect>

#include "core/text/RecognitionLimit.h"
#include "core/text/RecognizedWord.h"

namespace tesseract {
class TessBaseAPI;
}

namespace tarn {

// One line as the engine reads it: the text without its line terminator, the pixel box
// and the confidence from 0 to 1.
struct RecognizedLine {
    std::string text;
    QRect box;
    float confidence = 0;
};

// How the engine lays out the page it is given (the engine's page segmentation modes).
enum class PageLayout {
    automatic = 3,   // find columns and blocks itself
    singleBlock = 6, // one uniform block of text
    singleLine = 7,  // exactly one line
    sparse = 11,     // as much text as possible, in no particular order
};

// One loaded Tesseract engine (LSTM models). Loading takes a few hundred milliseconds, so
// engines are made once and kept. An engine is used by one thread at a time.
class TesseractEngine {
public:
    // Loads `languages` (Tesseract names joined by '+', e.g. "kor+eng") from `tessdata`.
    // Throws RecognitionFailure::engineUnavailable when a model will not load.
    TesseractEngine(const std::filesystem::path &tessdata, const std::string &languages);
    ~TesseractEngine();
    TesseractEngine(const TesseractEngine &) = delete;
    TesseractEngine &operator=(const TesseractEngine &) = delete;

    // Reads the lines of a Format_Grayscale8 image with dark text on a light background.
    // `letEngineInvert` lets the engine retry light-on-dark lines itself (slower); turn it off
    // when the caller has already put the text dark on light. Stops where `limit` says (see
    // RecognitionLimit.h), but not while the engine lays the page out.
    std::vector<RecognizedLine> recognize(const QImage &gray, PageLayout layout, bool letEngineInvert,
                                          const RecognitionLimit &limit = {});

    // The digits of `glyphs` (Format_Grayscale8, dark on white, one line) as the English model reads
    // them when no other character is allowed, and the confidence (0-100); nothing without that
    // model.
    std::pair<std::string, float> readDigits(const QImage &glyphs);

    // Whether weak Latin words of a Korean-first engine are read again by an English-only
    // engine (the Korean model misreads Latin words at the start of a Korean line).
    void setRetryLatinWords(bool retry) { retryLatinWords_ = retry && rereadPossible_; }

    // Whether the words of a Korean-first engine that came out in Latin letters where the
    // Korean model alone sees Hangul are read again by a Korean-only engine (see HangulWords.h).
    void setRereadKoreanWords(bool reread) { rereadKoreanWords_ = reread && rereadPossible_; }

private:
    void rereadKoreanWords(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words);
    void rereadWeakLatinWords(const QImage &gray, std::vector<PlacedWord> &words);
    // Names of paths and files that hold Hangul are read again by the English-only engine, weak
    // ones without Hangul by the Korean-only one, and put together from both readings (see
    // withEnglishParts and withKoreanParts).
    void rereadMixedNames(const QImage &gray, std::vector<PlacedWord> &words);
    // The English model's reading of `word`, where it is the better one; `next` is what the word
    // after it reads.
    std::string reread(const QImage &gray, const RecognizedWord &word, bool cut, const std::string &next);
    // Numbers as their ink supports them (see NumberInk.h); their colons alone without the other models.
    void rereadNumbers(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words);
    // A number and the word after it made one where they hold a counter the engine split between
    // them (see counterAcross).
    void joinCountersSplitAcross(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words);
    tesseract::TessBaseAPI &korean();
    tesseract::TessBaseAPI &latin();

    std::filesystem::path tessdata_;
    std::string languages_;
    std::unique_ptr<tesseract::TessBaseAPI> api_;
    std::unique_ptr<tesseract::TessBaseAPI> latin_;  // English only, loaded on first need
    std::unique_ptr<tesseract::TessBaseAPI> korean_; // Korean only, loaded on first need
    bool rereadPossible_ = false;                    // Korean first, English installed too
    bool retryLatinWords_ = false;
    bool rereadKoreanWords_ = false;
};

// Makes the engine's internal OpenMP threads run serially on the calling thread: they burn
// processor time without speeding up recognition, and under load their spinning slows every
// engine down. Parallelism comes from several engines on separate blocks instead. Every
// recognition calls it; calling it again on the same thread costs nothing.
void serializeEngineThreads();

} // namespace tarn
