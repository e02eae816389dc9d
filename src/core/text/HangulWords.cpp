// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/HangulWords.h"

#include <algorithm>
#include <cctype>

#include <QRegularExpression>
#include <QString>

namespace tarn {

namespace {

// Below this the Korean reading is a guess, however unsure the other reading is.
constexpr float koreanGuess = 20;

bool isHangul(char32_t c)
{
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F) || (c >= 0xAC00 && c <= 0xD7A3);
}

// The characters of `utf8` without blanks, an ellipsis as three full stops.
std::u32string withoutBlanks(const std::string &utf8)
{
    std::u32string out;
    for (const char32_t c : QString::fromStdString(utf8).toUcs4()) {
        if (c == U'…')
            out += U"...";
        else if (c != U' ')
            out += c;
    }
    return out;
}

// Lower case, with the letters the engines confuse taken as one.
std::string latinShape(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        const char lower = char(std::tolower(static_cast<unsigned char>(c)));
        out += lower == 'i' || lower == '1' || lower == '|' ? 'l' : (lower == '0' ? 'o' : lower);
    }
    return out;
}

} // namespace

bool holdsHangul(const std::string &utf8)
{
    const auto characters = QString::fromStdString(utf8).toUcs4();
    return std::any_of(characters.begin(), characters.end(), isHangul);
}

bool readsAsKorean(const std::string &text)
{
    static const QRegularExpression korean(
        QStringLiteral("^[0-9.,:/-]*[\\x{AC00}-\\x{D7A3}]+(?: ?[0-9]*[\\x{AC00}-\\x{D7A3}]+)*[.,?!:;\\x{2026})]*$"));
    return korean.match(QString::fromStdString(text)).hasMatch();
}

bool keepsTheRestOf(const std::string &korean, const std::string &other)
{
    const std::u32string rest = withoutBlanks(other);
    size_t at = 0;
    for (const char32_t c : withoutBlanks(korean)) {
        if (isHangul(c))
            continue;
        const size_t found = rest.find(c, at);
        if (found == std::u32string::npos)
            return false;
        at = found + 1;
    }
    return true;
}

std::optional<RecognizedWord> readingAt(const RecognizedWord &word, const std::vector<PlacedWord> &words,
                                        const std::string &text, int slack)
{
    const PlacedWord *first = nullptr, *last = nullptr;
    RecognizedWord reading;
    double weighted = 0, length = 0;
    for (const PlacedWord &placed : words) {
        const int middle = placed.word.box.center().x();
        if (middle < word.box.left() || middle > word.box.right())
            continue;
        if (placed.at == std::string::npos)
            return std::nullopt;
        first = first ? first : &placed;
        last = &placed;
        const double characters = std::max<qsizetype>(1, QString::fromStdString(placed.word.text).size());
        weighted += placed.word.confidence * characters;
        length += characters;
        reading.box |= placed.word.box;
    }
    if (!first || reading.box.left() < word.box.left() - slack || reading.box.right() > word.box.right() + slack)
        return std::nullopt;
    reading.text = text.substr(first->at, last->at + last->length - first->at);
    reading.confidence = float(weighted / length);
    return reading;
}

bool replacesWithKorean(const RecognizedWord &read, const RecognizedWord &korean,
                        const std::function<std::string()> &englishReading)
{
    if (!readsAsKorean(korean.text) || !keepsTheRestOf(korean.text, read.text))
        return false;
    if (korean.confidence >= read.confidence)
        return true;
    return korean.confidence >= koreanGuess && latinShape(englishReading()) != latinShape(read.text);
}

} // namespace tarn
