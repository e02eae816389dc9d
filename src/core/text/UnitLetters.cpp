// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/UnitLetters.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "core/text/NumberColons.h"
#include "core/text/NumberSigns.h"

namespace tarn {

namespace {

constexpr double capitalShare = 0.9; // a capital stands at least this share of the digits' height high
constexpr double letterShare = 0.4;  // a letter's mark is at least this share of it high, where a dot is less
constexpr std::string_view smallCapitals = "cosvwxz";
constexpr const char *strokes = "\\/WwVvN"; // what the engine reads for the strokes of a W

// The ink whose marks have their middles in the columns of `box`, over the line's rows; where none
// has, that of the marks reaching into them: the engine's box of a digit may cut it short of its
// middle ("2" boxed on its right half).
QRect inkWithin(const QImage &gray, const QRect &line, const QRect &box)
{
    QRect ink, reaching;
    for (const QRect &mark : inkMarksAround(gray, line, box)) {
        if (mark.center().x() >= box.left() && mark.center().x() <= box.right())
            ink |= mark;
        if (mark.right() >= box.left() && mark.left() <= box.right())
            reaching |= mark;
    }
    return ink.isEmpty() ? reaching : ink;
}

// Whether the letter boxed `box` stands as high as digits `digitHeight` high: every mark of a
// letter's size with its middle in its columns does. The engine's box of a letter may take in a
// neighbour ("s" boxed over the "p" before it, whose tail makes it as high).
bool standsAsHighAs(const QImage &gray, const QRect &line, const QRect &box, int digitHeight)
{
    bool any = false;
    for (const QRect &mark : inkMarksAround(gray, line, box)) {
        if (mark.center().x() < box.left() || mark.center().x() > box.right() ||
            mark.height() < letterShare * digitHeight)
            continue;
        if (mark.height() < capitalShare * digitHeight)
            return false;
        any = true;
    }
    return any;
}

bool isDigit(const std::string &text) { return text.size() == 1 && text[0] >= '0' && text[0] <= '9'; }

bool isSmallCapital(const std::string &text)
{
    return text.size() == 1 && smallCapitals.find(text[0]) != std::string_view::npos;
}

// Whether `text` is what the engine reads for the strokes of a W ("\", "\/", "Ww", "N").
bool readAsStrokes(const std::string &text)
{
    return !text.empty() && text.find_first_not_of(strokes) == std::string::npos;
}

} // namespace

std::string withCapitalsOfItsInk(const QImage &gray, const QRect &line, const PlacedWord &placed, const QRect &number)
{
    std::string text;
    QRect digits;
    for (const RecognizedWord &character : placed.characters) {
        text += character.text;
        digits |= isDigit(character.text) ? character.box : QRect();
    }
    const QRect reference = digits.isEmpty() ? number : digits;
    const bool strokes = digits.isEmpty() && readAsStrokes(placed.word.text);
    const bool smallLetters = std::any_of(placed.characters.begin(), placed.characters.end(),
                                          [](const RecognizedWord &c) { return isSmallCapital(c.text); });
    // Nearly every number comes here: the ink is measured only where there is a letter to change.
    if (text != placed.word.text || line.isEmpty() || reference.isEmpty() || (!strokes && !smallLetters))
        return placed.word.text;
    const int digitHeight = inkWithin(gray, line, reference).height();
    if (digitHeight == 0) // no digit's ink to measure the letters by
        return placed.word.text;
    // A W after a number read as the strokes it is made of ("650 \" for "650 W").
    if (strokes && isLetterW(gray, line, placed.word.box, capitalShare * digitHeight))
        return "W";
    std::string capitalized;
    bool afterDigits = digits.isEmpty(); // then after the number before the word
    for (const RecognizedWord &character : placed.characters) {
        const bool letter = character.text.size() == 1 && std::isalpha(static_cast<unsigned char>(character.text[0]));
        afterDigits = isDigit(character.text) || (afterDigits && letter);
        const bool capital =
            afterDigits && isSmallCapital(character.text) && standsAsHighAs(gray, line, character.box, digitHeight);
        capitalized += capital ? std::string(1, char(character.text[0] - 'a' + 'A')) : character.text;
    }
    return capitalized;
}

} // namespace tarn
