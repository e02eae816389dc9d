// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/CounterGlyphs.h"

#include <algorithm>
#include <vector>

#include <QRegularExpression>
#include <QString>

#include "core/text/HangulWords.h"
#include "core/text/NumberColons.h"

namespace tarn {

namespace {

constexpr double markShare = 0.4;      // a digit or a syllable is at least this share of the line's height high
constexpr double taller = 1.17;        // Hangul stands a sixth taller than the digits beside it, or more
constexpr double higher = 1.08;        // though a coding font's may stand only this much taller than them,
constexpr double widestOfDigits = 0.8; // and be wider than the widest digit (a bold 0) of their height
constexpr double widestDigit = 0.9;    // a digit is at most this share of its height wide
constexpr double narrowest = 0.5;      // a syllable is at least this share of its height wide, a bracket less
constexpr double sharedColumns = 0.5;  // a jamo above another shares this share of the narrower one's columns

// Ink between empty columns: its marks, left to right.
struct Glyph {
    QRect ink;
    std::vector<QRect> marks;
};

// The glyphs whose middles lie in the columns of `box`: those beyond are the next word's.
std::vector<Glyph> glyphsOf(const QImage &gray, const QRect &line, const QRect &box)
{
    std::vector<Glyph> glyphs;
    for (const QRect &mark : inkMarksAround(gray, line, box)) {
        if (!glyphs.empty() && mark.left() <= glyphs.back().ink.right() + 1) {
            glyphs.back().ink |= mark;
            glyphs.back().marks.push_back(mark);
        } else {
            glyphs.push_back({mark, {mark}});
        }
    }
    std::erase_if(glyphs,
                  [&](const Glyph &g) { return g.ink.center().x() < box.left() || g.ink.center().x() > box.right(); });
    return glyphs;
}

// Whether one of the marks lies above the other, most of the narrower one's columns shared: the
// middle of the upper one lies above the lower one's top (a vowel's stem may reach up beside it).
bool setAbove(const QRect &a, const QRect &b)
{
    const int columns = std::min(a.right(), b.right()) - std::max(a.left(), b.left()) + 1;
    return columns >= sharedColumns * std::min(a.width(), b.width()) &&
        (a.center().y() < b.top() || b.center().y() < a.top());
}

enum class Kind { small, digit, syllable, bracket, other };

Kind kindOf(const Glyph &glyph, int digitHeight, int lineHeight)
{
    const QRect &ink = glyph.ink;
    if (ink.height() < markShare * lineHeight)
        return Kind::small;
    const bool tall = ink.height() > taller * digitHeight;
    if (glyph.marks.size() == 1 && ink.height() > digitHeight + 1 && ink.width() < narrowest * ink.height())
        return Kind::bracket;
    bool stacked = false;
    for (size_t i = 0; i < glyph.marks.size(); ++i)
        for (size_t j = i + 1; j < glyph.marks.size(); ++j)
            stacked = stacked || setAbove(glyph.marks[i], glyph.marks[j]);
    // Wider than a digit, a syllable sets one jamo above another, or stands a little taller than the
    // digits (a coding font's, whose jamo join in its thick strokes).
    const bool wide = ink.width() > widestOfDigits * digitHeight;
    if ((tall && ink.width() >= narrowest * ink.height()) || (wide && (stacked || ink.height() > higher * digitHeight)))
        return Kind::syllable;
    // The thin strokes of a coding font break a digit into pieces.
    if (!tall && ink.width() <= widestDigit * ink.height())
        return Kind::digit;
    return Kind::other;
}

// The digit glyphs of a number and the syllable glyphs of its counter after it, in brackets or not;
// no syllables where the glyphs are not that.
struct CountedGlyphs {
    size_t digits = 0, syllables = 0;
};

CountedGlyphs countedGlyphs(const std::vector<Glyph> &glyphs, int lineHeight)
{
    int digitHeight = lineHeight; // the shortest glyph no wider than a digit
    for (const Glyph &glyph : glyphs)
        if (glyph.ink.height() >= markShare * lineHeight && glyph.ink.width() <= widestDigit * glyph.ink.height())
            digitHeight = std::min(digitHeight, glyph.ink.height());
    CountedGlyphs counted;
    for (const Glyph &glyph : glyphs)
        switch (kindOf(glyph, digitHeight, lineHeight)) {
        case Kind::digit:
            if (counted.syllables > 0)
                return {};
            ++counted.digits;
            break;
        case Kind::syllable:
            if (counted.digits == 0)
                return {};
            ++counted.syllables;
            break;
        case Kind::bracket:
        case Kind::small:
            break;
        case Kind::other:
            return {};
        }
    return counted;
}

std::string digitsOf(const std::string &text)
{
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    return digits;
}

// `text` as the brackets before it, what they hold and the brackets after it.
struct Bracketed {
    QString before, held, after;
};

Bracketed bracketed(const QString &text)
{
    static const QRegularExpression parts(QStringLiteral("^([(\\[]*)(.*?)([)\\]]*)$"));
    const auto match = parts.match(text);
    return {match.captured(1), match.captured(2), match.captured(3)};
}

} // namespace

std::string withCounterOfItsGlyphs(const QImage &gray, const QRect &line, const PlacedWord &placed,
                                   const std::function<std::string()> &korean)
{
    const std::string &text = placed.word.text;
    if (digitsOf(text).empty() || holdsHangul(text) || line.isEmpty() || placed.word.box.isEmpty())
        return text;
    const CountedGlyphs ink = countedGlyphs(glyphsOf(gray, line, placed.word.box), line.height());
    if (ink.syllables == 0)
        return text;
    // The brackets are the engine's first reading: the Korean model reads one as another ("[4코어)").
    static const QRegularExpression counted(QStringLiteral("^[0-9][0-9.,:]*[\\x{AC00}-\\x{D7A3}]+$"));
    const Bracketed word = bracketed(QString::fromStdString(text)),
                    reading = bracketed(QString::fromStdString(korean()));
    if (reading.before.size() != word.before.size() || reading.after.size() != word.after.size())
        return text;
    const std::string held = reading.held.toStdString();
    if (counted.match(reading.held).hasMatch() && digitsOf(held).size() == ink.digits &&
        digitsOf(text).starts_with(digitsOf(held)))
        return (word.before + reading.held + word.after).toStdString();
    // Each glyph read by the model that reads its kind, where the Korean reading has syllables for the
    // counter's and at most a character for each of the others, and the text digits for the number's
    // ("용월" or "월" for "8월").
    const qsizetype digits = qsizetype(ink.digits), syllables = qsizetype(ink.syllables);
    const QString number = word.held.left(digits), counter = reading.held.right(syllables);
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const auto isSyllable = [](QChar c) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3; };
    return reading.held.size() >= syllables && reading.held.size() <= digits + syllables && number.size() == digits &&
            std::all_of(number.begin(), number.end(), isDigit) &&
            std::all_of(counter.begin(), counter.end(), isSyllable)
        ? (word.before + number + counter + word.after).toStdString()
        : text;
}

std::string counterAcross(const QImage &gray, const QRect &line, const PlacedWord &number, const PlacedWord &next,
                          const std::function<std::string(const QRect &)> &korean)
{
    if (!isNumber(number.word.text) || next.characters.empty() || line.isEmpty() ||
        !holdsSyllablesAlone(next.characters.front().text))
        return {};
    QRect vowel;
    for (const Glyph &glyph : glyphsOf(gray, line, next.characters.front().box))
        vowel |= glyph.ink;
    if (vowel.isEmpty() || vowel.width() >= narrowest * vowel.height())
        return {};
    static const QRegularExpression counted(QStringLiteral("^([0-9][0-9.,:]*)([\\x{AC00}-\\x{D7A3}]+)$"));
    const std::string reading = korean(number.word.box | next.word.box);
    const auto match = counted.match(QString::fromStdString(reading));
    const std::string digits = digitsOf(match.captured(1).toStdString()), read = digitsOf(number.word.text);
    return match.hasMatch() && match.captured(2).toStdString() == next.word.text && read.starts_with(digits) &&
            digits.size() + 1 >= read.size()
        ? reading
        : std::string();
}

} // namespace tarn
