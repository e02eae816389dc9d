// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/TesseractEngine.h"

#include <dlfcn.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include <QString>

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include "core/base/RecognitionFailure.h"
#include "core/text/CounterGlyphs.h"
#include "core/text/HangulWords.h"
#include "core/text/KeyNames.h"
#include "core/text/MiddleDots.h"
#include "core/text/NumberColons.h"
#include "core/text/NumberInk.h"
#include "core/text/NumberSigns.h"
#include "core/text/TimesOfDay.h"
#include "core/text/UnitLetters.h"
#include "core/text/WordGaps.h"
#include "core/text/ZeroGlyphs.h"

namespace tarn {

namespace {

// The resolution told to the engine. Screens have no physical resolution; any plausible
// value keeps the engine from guessing (and from warning that it had to).
constexpr int sourceResolution = 144;
// A word of a Korean-first engine below this confidence (0-100) that holds no Hangul is read
// again by the English engine, whose reading wins when it is at least this much surer. The
// Korean model reads most Latin words at 90 or more; below that it often drops blanks
// ("380 KB" as "3808") or letters.
constexpr float weakLatinWord = 90;
constexpr size_t longestUnit = 4; // characters of the longest unit of a number: "TiB"
// A word without Hangul in a line that holds some may be Korean read as Latin letters when it
// is below this confidence: "오후" comes out as "OS" at 92. In other lines the weak Latin
// words' limit holds. Korean words of an interface are short; a longer word is what it reads.
constexpr float doubtfulBesideHangul = 95;
constexpr int longestMisreading = 8;

std::unique_ptr<tesseract::TessBaseAPI> loadEngine(const std::filesystem::path &tessdata, const std::string &languages)
{
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    // The engine's messages (warnings, load errors) go nowhere instead of standard error.
    const std::vector<std::string> names{"debug_file"}, values{"/dev/null"};
    const std::string folder = tessdata.string();
    if (api->Init(folder.c_str(), languages.c_str(), tesseract::OEM_LSTM_ONLY, nullptr, 0, &names, &values, false) != 0)
        throw RecognitionFailure(RecognitionFailure::Case::engineUnavailable);
    return api;
}

// Recognizes the image `api` holds. The engine asks its monitor between words whether to stop.
void recognizeWithin(tesseract::TessBaseAPI &api, RecognitionLimit limit)
{
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = [](void *asked, int) { return static_cast<const RecognitionLimit *>(asked)->reached(); };
    monitor.cancel_this = &limit;
    if (api.Recognize(&monitor) != 0) {
        limit.check();
        throw RecognitionFailure(RecognitionFailure::Case::recognitionFailed);
    }
}

struct Text {
    std::string value;
    explicit Text(char *owned)
    {
        if (owned)
            value = owned;
        delete[] owned;
    }
};

bool holdsDigit(const std::string &text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

QRect boxAt(const tesseract::PageIterator &it, tesseract::PageIteratorLevel level)
{
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!it.BoundingBox(level, &left, &top, &right, &bottom))
        return {};
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// The engine ends a line with a line feed and the last line of a paragraph with two; the
// text of a line carries none of them (nor any other line terminator). Blanks stay.
std::string withoutLineEnd(std::string text)
{
    static const std::vector<std::string_view> terminators{"\n", "\r", "\v", "\f", "\u0085", "\u2028", "\u2029"};
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const std::string_view end : terminators)
            if (text.size() >= end.size() && std::string_view(text).substr(text.size() - end.size()) == end) {
                text.resize(text.size() - end.size());
                stripped = true;
            }
    }
    return text;
}

// The place of word `i` in its line: its box, widened to the middle of the gap to each neighbour's
// box. The engine's box of a word it misread may stop short of its ink ("37H" boxed narrower than
// the "3개" it stands for).
QRect placeOf(const std::vector<PlacedWord> &words, size_t i)
{
    QRect place = words[i].word.box;
    if (i > 0)
        place.setLeft(std::min(place.left(), (words[i - 1].word.box.right() + place.left() + 1) / 2));
    if (i + 1 < words.size())
        place.setRight(std::max(place.right(), (place.right() + words[i + 1].word.box.left() - 1) / 2));
    return place;
}

// The box of word `i` in its line, cut back to the neighbours it reaches over whole: the engine's
// box of a word it is unsure of may take in the next words too ("ures/Tarnwick/Lf Li" for the
// English reading of a box that reached over "내보낸"). The box as it is when nothing is left.
QRect placeBetween(const std::vector<PlacedWord> &words, size_t i)
{
    QRect place = words[i].word.box;
    const auto within = [&](const QRect &other) {
        return !other.isEmpty() && other.left() >= place.left() && other.right() <= place.right();
    };
    if (i > 0 && within(words[i - 1].word.box))
        place.setLeft(words[i - 1].word.box.right() + 1);
    if (i + 1 < words.size() && within(words[i + 1].word.box))
        place.setRight(words[i + 1].word.box.left() - 1);
    return place.width() > 0 ? place : words[i].word.box;
}

// The characters of the word at `word`, each boxed.
std::vector<RecognizedWord> charactersOf(const tesseract::ResultIterator &word)
{
    std::vector<RecognizedWord> characters;
    tesseract::ResultIterator it(word);
    do
        characters.push_back({Text(it.GetUTF8Text(tesseract::RIL_SYMBOL)).value, boxAt(it, tesseract::RIL_SYMBOL),
                              it.Confidence(tesseract::RIL_SYMBOL)});
    while (!it.IsAtFinalElement(tesseract::RIL_WORD, tesseract::RIL_SYMBOL) && it.Next(tesseract::RIL_SYMBOL));
    return characters;
}

// The room of a blank in the line (see blankRoom), as the engine first read its words, all placed.
std::optional<int> lineBlank(const QImage &gray, const RecognizedLine &line, const std::vector<PlacedWord> &words)
{
    std::vector<RecognizedWord> read;
    std::vector<std::string> separators;
    for (size_t i = 0; i < words.size(); ++i) {
        read.push_back(words[i].word);
        const size_t end = words[i].at + words[i].length;
        if (i + 1 < words.size())
            separators.push_back(line.text.substr(end, words[i + 1].at - end));
    }
    return blankRoom(gray, line.box, read, separators);
}

// Whether the line may set its parts apart by middle dots: a Korean status line or a file's
// details (a size, a time).
bool mayHoldMiddleDots(const std::string &text) { return holdsHangul(text) || holdsDigit(text); }

// Finds the characters of the line's words that are lone middle dots (see isLoneMiddleDot), as the
// engine first read them: it reads a middle dot as a character of its own, or joins it to a
// neighbour as a full stop or a hyphen ("동기화.", ".00:04:17", boxed on the digit after it), or as
// a blank that begins a word (" 3" for "· 3").
void findLoneDots(const QImage &gray, const RecognizedLine &line, std::vector<PlacedWord> &words)
{
    if (!mayHoldMiddleDots(line.text) ||
        std::any_of(words.begin(), words.end(), [](const PlacedWord &w) { return w.at == std::string::npos; }))
        return;
    const bool hangul = holdsHangul(line.text);
    const std::optional<int> blank = lineBlank(gray, line, words);
    for (PlacedWord &word : words)
        for (size_t k = 0; k < word.characters.size(); ++k) {
            RecognizedWord character = word.characters[k];
            // The box of a dot that begins a word may lie on the character after it.
            if (k == 0)
                character.box.setLeft(character.box.left() - line.box.height() / 2);
            if ((mayBeMiddleDot(character.text) || character.text == " ") &&
                isLoneMiddleDot(gray, line.box, character, hangul, blank))
                word.loneDots.push_back(k);
        }
}

// The line's words with each lone middle dot a word of its own, and the characters of a word
// around it words of their own too: the engine reads a dot joined to the word beside it ("·2096"
// for "· 20%"), whose number, signs and letters are then told like any other word's. Each part is
// as sure as its least sure character: the dot may have made the whole word unsure. A word whose
// characters do not make up its text stays whole.
std::vector<PlacedWord> apartAtLoneDots(std::vector<PlacedWord> words)
{
    std::vector<PlacedWord> apart;
    for (PlacedWord &placed : words) {
        std::string characters;
        for (const RecognizedWord &character : placed.characters)
            characters += character.text;
        if (placed.loneDots.empty() || placed.at == std::string::npos || characters != placed.word.text) {
            apart.push_back(std::move(placed));
            continue;
        }
        size_t at = placed.at;
        for (size_t k = 0; k < placed.characters.size(); ++k) {
            const RecognizedWord &character = placed.characters[k];
            const bool dot = std::find(placed.loneDots.begin(), placed.loneDots.end(), k) != placed.loneDots.end();
            if (dot || k == 0 || !apart.back().loneDots.empty()) {
                PlacedWord next{{{}, {}, 100}, at, 0};
                if (dot)
                    next.loneDots = {0};
                apart.push_back(std::move(next));
            }
            PlacedWord &part = apart.back();
            part.word.text += character.text;
            part.word.box |= character.box;
            part.word.confidence = std::min(part.word.confidence, character.confidence);
            part.characters.push_back(character);
            part.length += character.text.size();
            at += character.text.size();
        }
    }
    return apart;
}

// The middle dots of the line's words that are not lone ones (see withMiddleDotsOfItsInk). The
// vowel sign is no word of its own: read as one, it is a middle dot, however close the words
// beside it stand.
void findJoinedDots(const QImage &gray, const RecognizedLine &line, std::vector<PlacedWord> &words)
{
    for (PlacedWord &placed : words)
        if (placed.word.text == "ㆍ")
            placed.word.text = "·";
    const auto touching = [&](size_t a, size_t b) {
        return words[a].at != std::string::npos && words[b].at != std::string::npos &&
            words[a].at + words[a].length == words[b].at && !words[a].characters.empty() &&
            !words[b].characters.empty();
    };
    for (size_t i = 0; i < words.size(); ++i) {
        PlacedWord &placed = words[i];
        if (placed.at == std::string::npos)
            continue;
        const size_t end = placed.at + placed.length;
        Neighbours beside{placed.at > 0 && line.text[placed.at - 1] == ' ',
                          end < line.text.size() && line.text[end] == ' '};
        if (i > 0 && touching(i - 1, i))
            beside.before = words[i - 1].characters.back().text;
        if (i + 1 < words.size() && touching(i, i + 1))
            beside.after = words[i + 1].characters.front().text;
        placed.word.text = withMiddleDotsOfItsInk(gray, line.box, placed, beside);
    }
}

// The word's text as the engine first read it, with its lone middle dots set apart by blanks;
// `leads` and `ends` tell whether such a dot begins or ends it.
std::string withLoneDots(const PlacedWord &placed, bool &leads, bool &ends)
{
    std::string text;
    leads = ends = false;
    for (size_t k = 0; k < placed.characters.size(); ++k) {
        const bool dot = std::find(placed.loneDots.begin(), placed.loneDots.end(), k) != placed.loneDots.end();
        if (dot)
            text += text.empty() ? "·" : " ·";
        else
            text += (ends ? " " : "") + placed.characters[k].text;
        leads = leads || (dot && k == 0);
        ends = dot;
    }
    return text;
}

// The words of the line at `line` with their places in its text (npos when not found there).
std::vector<PlacedWord> wordsOf(const tesseract::ResultIterator &line, const std::string &text)
{
    std::vector<PlacedWord> words;
    tesseract::ResultIterator it(line);
    size_t cursor = 0;
    while (!it.Empty(tesseract::RIL_WORD)) {
        PlacedWord placed{{Text(it.GetUTF8Text(tesseract::RIL_WORD)).value, boxAt(it, tesseract::RIL_WORD),
                           it.Confidence(tesseract::RIL_WORD)}};
        placed.characters = charactersOf(it);
        placed.at = placed.word.text.empty() ? std::string::npos : text.find(placed.word.text, cursor);
        placed.length = placed.word.text.size();
        if (placed.at != std::string::npos)
            cursor = placed.at + placed.length;
        words.push_back(std::move(placed));
        if (it.IsAtFinalElement(tesseract::RIL_TEXTLINE, tesseract::RIL_WORD) || !it.Next(tesseract::RIL_WORD))
            break;
    }
    return words;
}

// The words with each one whose reading went to the word before it (its text emptied, no blank
// between them: "오" "후" mended as "오후") made part of that word, so that the gap after it lies
// between the ink of both and the next word's.
std::vector<PlacedWord> withEmptiedWordsJoined(const std::vector<PlacedWord> &words)
{
    std::vector<PlacedWord> joined;
    for (const PlacedWord &placed : words) {
        if (!joined.empty() && placed.word.text.empty() && placed.loneDots.empty() && joined.back().loneDots.empty() &&
            joined.back().at + joined.back().length == placed.at) {
            joined.back().length += placed.length;
            joined.back().word.box |= placed.word.box;
            continue;
        }
        joined.push_back(placed);
    }
    return joined;
}

// The line's text with each word as it now reads and each gap as it really is (see
// separatorBetween); the line's text unchanged when its words cannot all be placed in it.
std::string joined(const QImage &gray, const RecognizedLine &line, const std::vector<PlacedWord> &placed)
{
    if (placed.empty() ||
        std::any_of(placed.begin(), placed.end(), [](const PlacedWord &w) { return w.at == std::string::npos; }))
        return line.text;
    const std::vector<PlacedWord> words = withEmptiedWordsJoined(placed);
    std::vector<std::string> texts, gaps;
    const std::optional<int> blank = lineBlank(gray, line, words);
    for (size_t i = 0; i < words.size(); ++i) {
        texts.push_back(withBlanksItLost(gray, line.box, words[i], blank));
        const size_t end = words[i].at + words[i].length;
        if (i + 1 < words.size())
            gaps.push_back(separatorBetween(gray, line.box, words[i].word, words[i + 1].word,
                                            line.text.substr(end, words[i + 1].at - end), blank));
    }
    // A lone middle dot stands between blanks; the word keeps the characters the engine read.
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i].loneDots.empty())
            continue;
        bool leads = false, ends = false;
        texts[i] = withLoneDots(words[i], leads, ends);
        if (leads && i > 0)
            gaps[i - 1] = " ";
        if (ends && i < gaps.size())
            gaps[i] = " ";
    }
    std::string text = line.text.substr(0, words.front().at);
    for (size_t i = 0; i < words.size(); ++i)
        text += texts[i] + (i < gaps.size() ? gaps[i] : line.text.substr(words[i].at + words[i].length));
    return text;
}

// The single word in `wordBox` of `gray` (with a few pixels around it) as `api` reads it, and
// the confidence of that reading (0-100). A box cut back from the engine's (`cut`) ends where a
// neighbour's ink begins: the pixels beside it are left blank, or the neighbour's edge is read as
// a mark ("12:" for the "12" of "12월").
std::pair<std::string, float> wordReading(tesseract::TessBaseAPI &api, const QImage &gray, const QRect &wordBox,
                                          bool cut = false)
{
    const QRect area = wordBox.adjusted(-4, -4, 4, 4).intersected(gray.rect());
    if (area.isEmpty())
        return {};
    QImage word = gray.copy(area);
    for (int y = 0; cut && y < word.height(); ++y)
        for (int x = 0; x < word.width(); ++x)
            if (x + area.left() < wordBox.left() || x + area.left() > wordBox.right())
                word.scanLine(y)[x] = 255;
    api.SetPageSegMode(tesseract::PSM_SINGLE_WORD);
    api.SetImage(word.constBits(), word.width(), word.height(), 1, int(word.bytesPerLine()));
    api.SetSourceResolution(sourceResolution);
    std::string text = withoutLineEnd(Text(api.GetUTF8Text()).value);
    return {text, float(api.MeanTextConf())};
}

// The rows of `line` in `gray` alone on white, read by `api` as one line; the words' boxes are
// in `gray`'s pixels.
std::pair<std::vector<PlacedWord>, std::string> lineReading(tesseract::TessBaseAPI &api, const QImage &gray,
                                                            const QRect &line)
{
    const QRect rows = line.intersected(gray.rect());
    if (rows.isEmpty())
        return {};
    const int margin = std::max(8, rows.height() / 2);
    QImage image(rows.width() + 2 * margin, rows.height() + 2 * margin, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < rows.height(); ++y)
        std::copy_n(gray.constScanLine(rows.top() + y) + rows.left(), rows.width(),
                    image.scanLine(margin + y) + margin);
    api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    api.SetImage(image.constBits(), image.width(), image.height(), 1, int(image.bytesPerLine()));
    api.SetSourceResolution(sourceResolution);
    if (api.Recognize(nullptr) != 0)
        return {};
    std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
    if (!it || it->Empty(tesseract::RIL_TEXTLINE))
        return {};
    std::string text = withoutLineEnd(Text(it->GetUTF8Text(tesseract::RIL_TEXTLINE)).value);
    std::vector<PlacedWord> words = wordsOf(*it, text);
    for (PlacedWord &placed : words) {
        placed.word.box.translate(rows.topLeft() - QPoint(margin, margin));
        for (RecognizedWord &character : placed.characters)
            character.box.translate(rows.topLeft() - QPoint(margin, margin));
    }
    return {std::move(words), std::move(text)};
}

// `text` with each mark that may be a middle dot between two Hangul syllables written as one: a
// word read alone only tells whether the line is worth reading again, and the line's reading says
// what the ink holds ("사진-동영상").
std::string withMarksBetweenSyllablesAsDots(const std::string &text)
{
    const QString read = QString::fromStdString(text);
    const auto syllableAt = [&](qsizetype k) {
        return k >= 0 && k < read.size() && read[k].unicode() >= 0xAC00 && read[k].unicode() <= 0xD7A3;
    };
    QString written;
    for (qsizetype k = 0; k < read.size(); ++k)
        written += syllableAt(k - 1) && syllableAt(k + 1) && mayBeMiddleDot(QString(read[k]).toStdString())
            ? QStringLiteral("\u00B7")
            : QString(read[k]);
    return written.toStdString();
}

// `line`'s text with the middle dots of its words written where their ink is one (the Korean
// model reads "사진·동영상" as "사진-동영상"), and each word placed anew in it.
std::string withJoinedDots(const QImage &gray, const QRect &line, const std::string &text,
                           std::vector<PlacedWord> &words)
{
    if (std::any_of(words.begin(), words.end(), [](const PlacedWord &w) { return w.at == std::string::npos; }))
        return text;
    findJoinedDots(gray, {text, line, 0}, words);
    std::string rewritten;
    size_t read = 0;
    for (PlacedWord &placed : words) {
        rewritten += text.substr(read, placed.at - read);
        read = placed.at + placed.length;
        placed.at = rewritten.size();
        placed.length = placed.word.text.size();
        rewritten += placed.word.text;
    }
    return rewritten + text.substr(read);
}

// `placed` with its box and its characters' ending before `next`, the box of the word after it,
// where they reach over its middle: such a box holds that word's ink, where one reaching into it
// a little holds only its own.
PlacedWord clippedBefore(const PlacedWord &placed, const QRect &next)
{
    PlacedWord clipped = placed;
    const int end = next.left() - 1;
    if (placed.word.box.right() < next.center().x() || next.left() <= placed.word.box.left())
        return clipped;
    clipped.word.box.setRight(end);
    for (RecognizedWord &character : clipped.characters)
        character.box.setRight(std::min(character.box.right(), std::max(character.box.left(), end)));
    return clipped;
}

} // namespace

TesseractEngine::TesseractEngine(const std::filesystem::path &tessdata, const std::string &languages)
    : tessdata_(tessdata),
      languages_(languages),
      api_(loadEngine(tessdata, languages))
{
    rereadPossible_ = languages_.rfind("kor", 0) == 0 && languages_.find("eng") != std::string::npos;
    retryLatinWords_ = rereadKoreanWords_ = rereadPossible_;
}

TesseractEngine::~TesseractEngine() = default;

std::vector<RecognizedLine> TesseractEngine::recognize(const QImage &gray, PageLayout layout, bool letEngineInvert,
                                                       const RecognitionLimit &limit)
{
    std::vector<RecognizedLine> lines;
    if (gray.isNull() || gray.format() != QImage::Format_Grayscale8)
        return lines;
    serializeEngineThreads();
    api_->SetPageSegMode(static_cast<tesseract::PageSegMode>(layout));
    api_->SetVariable("tessedit_do_invert", letEngineInvert ? "1" : "0");
    api_->SetImage(gray.constBits(), gray.width(), gray.height(), 1, int(gray.bytesPerLine()));
    api_->SetSourceResolution(sourceResolution);
    recognizeWithin(*api_, limit);
    std::unique_ptr<tesseract::ResultIterator> it(api_->GetIterator());
    if (!it || it->Empty(tesseract::RIL_TEXTLINE))
        return lines;
    do {
        limit.check(); // each line's words are read again, some by other models
        RecognizedLine line;
        line.text = withoutLineEnd(Text(it->GetUTF8Text(tesseract::RIL_TEXTLINE)).value);
        line.box = boxAt(*it, tesseract::RIL_TEXTLINE);
        line.confidence = it->Confidence(tesseract::RIL_TEXTLINE) / 100.0f;
        std::vector<PlacedWord> words = wordsOf(*it, line.text);
        // On the engine's own characters: another reading of a whole word reads its dot otherwise
        // ("00:04:17 - 2560" for ".00:04:17.2560"); a lone dot is then a word of its own, and so
        // are the characters beside it.
        findLoneDots(gray, line, words);
        words = apartAtLoneDots(std::move(words));
        findJoinedDots(gray, line, words);
        if (rereadKoreanWords_)
            rereadKoreanWords(gray, line.box, words);
        if (retryLatinWords_) {
            rereadWeakLatinWords(gray, words);
            rereadMixedNames(gray, words);
        }
        for (PlacedWord &placed : words)
            if (placed.loneDots.empty())
                placed.word.text = withSignsOfItsInk(gray, line.box, placed);
        rereadNumbers(gray, line.box, words);
        for (PlacedWord &placed : words)
            if (placed.loneDots.empty())
                placed.word.text = withZerosOfItsInk(gray, line.box, placed.word);
        for (size_t i = 0; i < words.size(); ++i)
            words[i].word.text = withCapitalsOfItsInk(
                gray, line.box, words[i], i > 0 && isNumber(words[i - 1].word.text) ? words[i - 1].word.box : QRect());
        mendTimeOfDayWords(gray, line.box, words, [&](const QRect &box) {
            return rereadPossible_ ? wordReading(korean(), gray, box).first : std::string();
        });
        line.text = withKeyNamesSpelled(joined(gray, line, words));
        lines.push_back(std::move(line));
    } while (it->Next(tesseract::RIL_TEXTLINE));
    return lines;
}

std::pair<std::string, float> TesseractEngine::readDigits(const QImage &glyphs)
{
    if (languages_.find("eng") == std::string::npos || glyphs.format() != QImage::Format_Grayscale8)
        return {};
    tesseract::TessBaseAPI &api = languages_ == "eng" ? *api_ : latin();
    api.SetVariable("tessedit_char_whitelist", "0123456789");
    api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    api.SetImage(glyphs.constBits(), glyphs.width(), glyphs.height(), 1, int(glyphs.bytesPerLine()));
    api.SetSourceResolution(sourceResolution);
    std::string text = withoutLineEnd(Text(api.GetUTF8Text()).value);
    const float confidence = float(api.MeanTextConf());
    api.SetVariable("tessedit_char_whitelist", "");
    return {text, confidence};
}

tesseract::TessBaseAPI &TesseractEngine::korean()
{
    if (!korean_)
        korean_ = loadEngine(tessdata_, "kor");
    return *korean_;
}

tesseract::TessBaseAPI &TesseractEngine::latin()
{
    if (!latin_)
        latin_ = loadEngine(tessdata_, "eng");
    return *latin_;
}

void TesseractEngine::rereadKoreanWords(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words)
{
    const bool besideHangul =
        std::any_of(words.begin(), words.end(), [](const PlacedWord &w) { return holdsHangul(w.word.text); });
    // A quick look at each doubtful word alone first: only where the Korean model sees Korean
    // there is the whole line read again, as its reading in context is the better one.
    std::vector<bool> suspect(words.size(), false);
    std::vector<std::string> alone(words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        const RecognizedWord &word = words[i].word;
        if (word.confidence >= (besideHangul ? doubtfulBesideHangul : weakLatinWord) || holdsHangul(word.text) ||
            QString::fromStdString(word.text).size() > longestMisreading)
            continue;
        alone[i] = withMarksBetweenSyllablesAsDots(wordReading(korean(), gray, word.box).first);
        suspect[i] = readsAsKorean(alone[i]) && keepsTheRestOf(alone[i], word.text);
    }
    if (std::none_of(suspect.begin(), suspect.end(), [](bool s) { return s; }))
        return;
    auto [koreanWords, koreanText] = lineReading(korean(), gray, line);
    koreanText = withJoinedDots(gray, line, koreanText, koreanWords);
    for (size_t i = 0; i < words.size(); ++i) {
        if (!suspect[i])
            continue;
        RecognizedWord &word = words[i].word;
        const std::optional<RecognizedWord> reading =
            readingAt(word, placeOf(words, i), koreanWords, koreanText, line.height() / 3, alone[i]);
        const auto englishReading = [&] { return wordReading(latin(), gray, word.box).first; };
        if (reading && !swallowsNeighbours(reading->text, words, i, i) &&
            replacesWithKorean(word, *reading, englishReading, alone[i]))
            word = {reading->text, word.box, reading->confidence};
    }
}

void TesseractEngine::rereadWeakLatinWords(const QImage &gray, std::vector<PlacedWord> &words)
{
    for (size_t i = 0; i < words.size(); ++i) {
        RecognizedWord &word = words[i].word;
        // However sure, a short number after a number may be a unit read as digits ("3.2 68").
        const bool mayBeUnit =
            i > 0 && isNumber(words[i - 1].word.text) && isNumber(word.text) && word.text.size() <= longestUnit;
        if ((word.confidence >= weakLatinWord && !mayBeUnit) || holdsHangul(word.text))
            continue;
        const QRect place = placeBetween(words, i);
        const std::string next = i + 1 < words.size() ? words[i + 1].word.text : std::string();
        const std::string better = reread(gray, {word.text, place, word.confidence}, place != word.box, next);
        if (!better.empty() && !swallowsNeighbours(better, words, i, i))
            word.text = better;
    }
}

void TesseractEngine::rereadMixedNames(const QImage &gray, std::vector<PlacedWord> &words)
{
    // Words the line sets without a blank between them make one name; a lone middle dot parts it.
    const auto touching = [](const PlacedWord &a, const PlacedWord &b) {
        return a.at != std::string::npos && b.at != std::string::npos && a.at + a.length == b.at && b.loneDots.empty();
    };
    for (size_t first = 0, last = 0; first < words.size(); first = last + 1) {
        last = first;
        if (!words[first].loneDots.empty())
            continue;
        std::string name = words[first].word.text;
        QRect box = words[first].word.box;
        float confidence = words[first].word.confidence;
        for (last = first; last + 1 < words.size() && touching(words[last], words[last + 1]); ++last) {
            name += words[last + 1].word.text;
            box |= words[last + 1].word.box;
            confidence = std::min(confidence, words[last + 1].word.confidence);
        }
        if (!isName(name) || (!holdsHangul(name) && confidence >= weakLatinWord))
            continue;
        const std::string spliced = holdsHangul(name) ? withEnglishParts(name, wordReading(latin(), gray, box).first)
                                                      : withKoreanParts(name, wordReading(korean(), gray, box).first);
        if (spliced.empty() || spliced == name || swallowsNeighbours(spliced, words, first, last))
            continue;
        words[first].word.text = spliced;
        for (size_t k = first + 1; k <= last; ++k)
            words[k].word.text.clear();
    }
}

void TesseractEngine::rereadNumbers(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words)
{
    for (size_t i = 0; i < words.size(); ++i) {
        PlacedWord &placed = words[i];
        if (!placed.loneDots.empty())
            continue;
        if (!rereadPossible_) {
            placed.word.text = withColonsOfItsInk(gray, line, placed);
            continue;
        }
        // The engine may box a number together with the word after it ("12" over "12월"), or
        // reach into that word's first glyph: the number's ink is its own alone, and the shape of
        // what is left beside it tells nothing.
        PlacedWord own = placed;
        if (i + 1 < words.size()) {
            own = clippedBefore(placed, words[i + 1].word.box);
            if (const int end = endBeforeGlyphBeyond(gray, line, own.word.box); end >= 0)
                own = clippedBefore(own, QRect(end + 1, line.top(), 1, line.height()));
        }
        const QRect box = own.word.box;
        std::optional<std::string> koreanReading; // asked for once, and only where needed
        const auto readInKorean = [&] {
            if (!koreanReading)
                koreanReading = wordReading(korean(), gray, box).first;
            return *koreanReading;
        };
        own.word.text = withCountersOfItsInk(gray, line, own, readInKorean);
        if (box != placed.word.box) {
            placed.word.text = own.word.text;
            continue;
        }
        // Several rules may ask for the English reading of one box: it is read once.
        std::optional<std::pair<QRect, std::string>> englishReading;
        const auto readInEnglish = [&](const QRect &at) {
            if (!englishReading || englishReading->first != at)
                englishReading = std::pair{at, wordReading(latin(), gray, at).first};
            return englishReading->second;
        };
        placed.word.text = numberOfItsInk(gray, line, own, readInKorean, readInEnglish,
                                          i > 0 && isNumber(words[i - 1].word.text) ? words[i - 1] : PlacedWord{});
    }
    if (rereadPossible_)
        joinCountersSplitAcross(gray, line, words);
}

void TesseractEngine::joinCountersSplitAcross(const QImage &gray, const QRect &line, std::vector<PlacedWord> &words)
{
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        PlacedWord &number = words[i];
        const PlacedWord &next = words[i + 1];
        if (number.at == std::string::npos || next.at == std::string::npos || !next.loneDots.empty())
            continue;
        const std::string counted = counterAcross(
            gray, line, number, next, [&](const QRect &box) { return wordReading(korean(), gray, box).first; });
        if (counted.empty())
            continue;
        number.word.text = counted;
        number.word.box |= next.word.box;
        number.length = next.at + next.length - number.at;
        words.erase(words.begin() + std::ptrdiff_t(i) + 1);
    }
}

std::string TesseractEngine::reread(const QImage &gray, const RecognizedWord &word, bool cut, const std::string &next)
{
    const auto [text, latinConfidence] = wordReading(latin(), gray, word.box, cut);
    // The English reading may split the word in two, never into lines.
    if (text.empty() || text.find_first_of("\n\t") != std::string::npos)
        return {};
    if (std::string unit = withUnitOf(text, word.text, next); !unit.empty())
        return unit;
    const auto koreanAlone = [&] { return wordReading(korean(), gray, word.box, cut).first; };
    return takesEnglishReading(word, text, latinConfidence, koreanAlone) ? text : std::string();
}

void serializeEngineThreads()
{
    // OMP_THREAD_LIMIT is read once when the OpenMP runtime loads, before main, so it cannot
    // be set from inside the process. An active-level limit of 0 has the same effect, but the
    // runtime keeps that limit per thread, so every thread that runs an engine sets it. The
    // runtime is only present when the engine was built with OpenMP.
    using SetLevels = void (*)(int);
    static const auto set = reinterpret_cast<SetLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"));
    thread_local bool done = false;
    if (set && !done)
        set(0);
    done = true;
}

} // namespace tarn
