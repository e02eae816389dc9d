// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/HangulWords.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include <QRegularExpression>
#include <QString>

#include "core/text/MiddleDots.h"

namespace tarn {

namespace {

// Below this the Korean reading is a guess, however unsure the other reading is.
constexpr float koreanGuess = 20;
// The English model's reading of a word wins where it is this much surer than the first; it
// changes a number's digits only from this confidence (0-100) on.
constexpr float englishMargin = 10, sureReading = 90;
constexpr size_t maximumSwallowed = 3; // neighbours a reading is checked against on either side

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

// The signs that part the names of a path or a file: its folders, its extension, its words. (A
// backslash is left out: the Korean model reads the V of "Videos" as one.)
const std::u32string nameSeparators = U"/._-";

bool isSyllable(char32_t c) { return c >= 0xAC00 && c <= 0xD7A3; }
bool isAsciiLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
bool isAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// `text` cut at the characters of `separators`: the parts (one more than the separators) and the
// separators in order.
std::pair<std::vector<std::u32string>, std::u32string> cutAt(const std::u32string &text,
                                                             const std::u32string &separators)
{
    std::vector<std::u32string> parts(1);
    std::u32string cuts;
    for (const char32_t c : text) {
        if (separators.find(c) != std::u32string::npos) {
            cuts += c;
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return {parts, cuts};
}

// Whether the English reading of a part replaces the Korean-first one: that one holds no Hangul
// and fewer letters, as where the Korean model reads the letters of "Videos" as "10605", and the
// English one is letters and digits, more letters than digits.
bool takesEnglishPart(const std::u32string &koreanFirst, const std::u32string &english)
{
    if (std::any_of(koreanFirst.begin(), koreanFirst.end(), isSyllable) ||
        !std::all_of(english.begin(), english.end(), [](char32_t c) {
            return isAsciiLetter(c) || isAsciiDigit(c) || nameSeparators.find(c) != std::u32string::npos;
        }))
        return false;
    const auto letters = [](const std::u32string &s) { return std::count_if(s.begin(), s.end(), isAsciiLetter); };
    const auto digits = std::count_if(english.begin(), english.end(), isAsciiDigit);
    return letters(english) > letters(koreanFirst) && letters(english) >= digits;
}

std::u32string toUcs4(const std::string &utf8)
{
    const auto characters = QString::fromStdString(utf8).toUcs4();
    return {characters.begin(), characters.end()};
}

// Whether the Korean reading of a part replaces the other: that one holds no Hangul and is no
// number (the Korean model reads the 2 of "3.2" as "고"), and the Korean one is Hangul syllables
// only, as where the English model reads "문서" as "2M".
bool takesKoreanPart(const std::u32string &other, const std::u32string &korean)
{
    return !korean.empty() && std::none_of(other.begin(), other.end(), isSyllable) &&
        !std::all_of(other.begin(), other.end(), isAsciiDigit) && std::all_of(korean.begin(), korean.end(), isSyllable);
}

// Where the first reading has lost separators that the second has ("/1101067001011/" for
// "/home/minji/"), a run of the second's parts is taken as one: where the rest then parts the
// name alike, against the longest of the first's parts (the one that swallowed them). Gives
// whether there was such a run.
bool mergedToMatch(std::vector<std::u32string> &parts, std::u32string &cuts, const std::vector<std::u32string> &wanted,
                   const std::u32string &wantedCuts)
{
    if (cuts.size() <= wantedCuts.size())
        return false;
    const size_t extra = cuts.size() - wantedCuts.size();
    std::optional<size_t> best;
    for (size_t at = 0; at < wanted.size(); ++at) {
        std::u32string remaining = cuts;
        remaining.erase(at, extra);
        if (remaining == wantedCuts && (!best || wanted[at].size() > wanted[*best].size()))
            best = at;
    }
    if (!best)
        return false;
    for (size_t k = 0; k < extra; ++k)
        parts[*best] += cuts[*best + k] + parts[*best + k + 1];
    parts.erase(parts.begin() + std::ptrdiff_t(*best) + 1, parts.begin() + std::ptrdiff_t(*best + extra) + 1);
    cuts.erase(*best, extra);
    return true;
}

// Two readings of a name put together where both part it alike at the signs that part names (at
// all of them, else at the folders' alone, else at the extension's): each part from `first`,
// but from `second` where `takesSecond` says so. Empty when they do not part the name alike.
std::string splicedAtSeparators(const std::string &first, const std::string &second,
                                bool (*takesSecond)(const std::u32string &, const std::u32string &))
{
    const std::u32string mine = toUcs4(first), theirs = toUcs4(second);
    for (const std::u32string &separators : {nameSeparators, std::u32string(U"/"), std::u32string(U".")}) {
        const auto [ours, ourCuts] = cutAt(mine, separators);
        auto [others, otherCuts] = cutAt(theirs, separators);
        if (ourCuts != otherCuts && !mergedToMatch(others, otherCuts, ours, ourCuts))
            continue;
        if (ourCuts.empty())
            continue;
        std::u32string spliced;
        for (size_t k = 0; k < ours.size(); ++k) {
            spliced += takesSecond(ours[k], others[k]) ? others[k] : ours[k];
            if (k < ourCuts.size())
                spliced += ourCuts[k];
        }
        return QString::fromUcs4(spliced.data(), qsizetype(spliced.size())).toStdString();
    }
    return {};
}

// The text as readings of neighbours are compared: blanks left out, and whatever may stand for a
// middle dot written as one ("2026-12-04 -" takes in the dot that the engine read as "ㆍ").
std::string comparable(const std::string &text)
{
    QString out;
    for (const QChar c : QString::fromStdString(text))
        if (c != u' ')
            out += mayBeMiddleDot(QString(c).toStdString()) ? QChar(u'·') : c;
    return out.toStdString();
}

} // namespace

bool holdsHangul(const std::string &utf8)
{
    const auto characters = QString::fromStdString(utf8).toUcs4();
    return std::any_of(characters.begin(), characters.end(), isHangul);
}

bool holdsSyllablesAlone(const std::string &utf8)
{
    const std::u32string text = QString::fromStdString(utf8).toStdU32String();
    return std::any_of(text.begin(), text.end(), isSyllable) &&
        std::none_of(text.begin(), text.end(), [](char32_t c) { return isHangul(c) && !isSyllable(c); });
}

bool readsAsKorean(const std::string &text)
{
    static const QRegularExpression korean(QStringLiteral(
        "^[0-9.,:/-]*[\\x{AC00}-\\x{D7A3}]+(?:[ \\x{B7}]?[0-9]*[\\x{AC00}-\\x{D7A3}]+)*[.,?!:;\\x{2026})]*$"));
    return korean.match(QString::fromStdString(text)).hasMatch();
}

bool isNumber(const std::string &text)
{
    const std::u32string characters = withoutBlanks(text);
    return std::any_of(characters.begin(), characters.end(), isAsciiDigit) &&
        std::all_of(characters.begin(), characters.end(),
                    [](char32_t c) { return isAsciiDigit(c) || c == U'.' || c == U',' || c == U':'; });
}

bool keepsTheNumbersOf(const std::string &reading, const std::string &read)
{
    const auto numbers = [](const std::string &text) {
        std::vector<std::u32string> runs;
        bool inRun = false;
        for (const char32_t c : withoutBlanks(text)) {
            if (isAsciiDigit(c) && !inRun)
                runs.emplace_back();
            if (isAsciiDigit(c))
                runs.back() += c;
            inRun = isAsciiDigit(c);
        }
        return runs;
    };
    const std::vector<std::u32string> kept = numbers(reading), original = numbers(read);
    return kept.size() == original.size() &&
        std::equal(kept.begin(), kept.end(), original.begin(),
                   [](const std::u32string &k, const std::u32string &o) { return o.starts_with(k); });
}

std::string withUnitOf(const std::string &reading, const std::string &read, const std::string &next)
{
    static const QRegularExpression unit(
        QStringLiteral("^(.*?)(?:^|(?<=[0-9.-]))(B|[KMGT]i?B|kB|px|pt|fps|dpi|[kMG]?Hz|ms|png|jpe?g|gif|heic|"
                       "webp|bmp|tiff?|pdf|txt|md|mp4|mov|mkv|webm|mp3|m4a|wav|zip|docx|xlsx|pptx)$"),
        QRegularExpression::CaseInsensitiveOption);
    // The English model may part a name at its extension ("09.41.12. png"), and read its full stop
    // as a hyphen ("-png").
    const std::string own =
        !next.empty() && reading.ends_with(' ' + next) ? reading.substr(0, reading.size() - next.size() - 1) : reading;
    const QRegularExpressionMatch match = unit.match(QString::fromStdString(own).remove(u' '));
    if (!isNumber(read) || !match.hasMatch())
        return {};
    const QString rest = match.captured(1).replace(u'-', u'.'), letters = match.captured(2);
    const QString number = QString::fromStdString(read);
    // The digits that stand for the unit: those after the rest, which keeps the number's start.
    if (!number.startsWith(rest))
        return {};
    const qsizetype digits = number.size() - rest.size();
    const bool taken = digits > 0 && std::abs(digits - letters.size()) <= 1 &&
        std::all_of(number.begin() + rest.size(), number.end(), [](QChar c) { return c.isDigit(); });
    // A unit keeps its blank after a number ("380 KB" for "3808"); an extension has none.
    const bool blank = !rest.isEmpty() && rest.back().isDigit() && QString::fromStdString(own).endsWith(u' ' + letters);
    return taken ? (rest + (blank ? QStringLiteral(" ") : QString()) + letters).toStdString() : std::string();
}

bool keepsTheRestOf(const std::string &korean, const std::string &other)
{
    if (isNumber(other) && !keepsTheNumbersOf(korean, other))
        return false;
    const std::u32string rest = withoutBlanks(other);
    size_t at = 0;
    for (const char32_t c : withoutBlanks(korean)) {
        if (isHangul(c) || c == U'\u00B7')
            continue;
        const size_t found = rest.find(c, at);
        if (found == std::u32string::npos)
            return false;
        at = found + 1;
    }
    return true;
}

std::optional<RecognizedWord> readingAt(const RecognizedWord &word, const QRect &place,
                                        const std::vector<PlacedWord> &words, const std::string &text, int slack,
                                        const std::string &alone)
{
    const PlacedWord *first = nullptr, *last = nullptr;
    RecognizedWord reading;
    double weighted = 0, length = 0;
    for (const PlacedWord &placed : words) {
        const int middle = placed.word.box.center().x();
        const auto within = [middle](const QRect &r) { return middle >= r.left() && middle <= r.right(); };
        const std::u32string read = toUcs4(placed.word.text);
        if (!within(word.box) && !(within(place) && std::any_of(read.begin(), read.end(), isSyllable)))
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
    const QRect bounds = word.box | place;
    // The box of a word the model is unsure of may take in the ink after it that it read as a word
    // of its own too ("거실" boxed over the "TV" it then reads as "7/"): where it reads as the
    // model reads the place alone, the place's ink is what it read.
    const bool readAlone = first && first == last && !alone.empty() && first->word.text == alone;
    if (!first || reading.box.left() < bounds.left() - slack ||
        (reading.box.right() > bounds.right() + slack && !readAlone))
        return std::nullopt;
    reading.text = text.substr(first->at, last->at + last->length - first->at);
    reading.confidence = float(weighted / length);
    return reading;
}

bool replacesWithKorean(const RecognizedWord &read, const RecognizedWord &korean,
                        const std::function<std::string()> &englishReading, const std::string &alone)
{
    if (!readsAsKorean(korean.text) || !keepsTheRestOf(korean.text, read.text))
        return false;
    const bool agreed = korean.text == alone && read.text.find_first_of("0123456789") == std::string::npos;
    if (agreed || korean.confidence >= read.confidence)
        return true;
    return korean.confidence >= koreanGuess && latinShape(englishReading()) != latinShape(read.text);
}

bool takesEnglishReading(const RecognizedWord &read, const std::string &english, float confidence,
                         const std::function<std::string()> &koreanAlone)
{
    std::optional<std::string> korean; // asked for once, and only where needed
    const auto alone = [&]() -> const std::string & {
        if (!korean)
            korean = koreanAlone();
        return *korean;
    };
    const auto agreed = [&] { return isNumber(read.text) && isNumber(english) && alone() == english; };
    const auto digits = [](const std::string &text) {
        return std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    // Letters the models take for digits ("1l" for "11") tell nothing new about a number's ink.
    if (isNumber(read.text) && latinShape(english) == latinShape(read.text))
        return false;
    if (confidence < read.confidence + englishMargin)
        return agreed();
    if (keepsTheNumbersOf(english, read.text))
        return true;
    // A word that reads alike but for some digits ("#4871" for "#4821") is a number read otherwise.
    const bool otherDigits =
        english.size() == read.text.size() &&
        std::equal(english.begin(), english.end(), read.text.begin(), [](char a, char b) {
            return a == b ||
                (std::isdigit(static_cast<unsigned char>(a)) && std::isdigit(static_cast<unsigned char>(b)));
        });
    if (((digits(read.text) > 0 && digits(english) > digits(read.text)) || otherDigits) &&
        keepsTheNumbersOf(alone(), read.text))
        return false;
    return (!isNumber(read.text) && !otherDigits) || confidence >= sureReading || agreed();
}

bool swallowsNeighbours(const std::string &reading, const std::vector<PlacedWord> &words, size_t first, size_t last)
{
    const std::string read = comparable(reading);
    std::string following, preceding;
    for (size_t k = 1; k <= maximumSwallowed; ++k) {
        if (last + k < words.size()) {
            following += comparable(words[last + k].word.text);
            if (!following.empty() && read.ends_with(following))
                return true;
        }
        if (first >= k) {
            preceding = comparable(words[first - k].word.text) + preceding;
            if (!preceding.empty() && read.starts_with(preceding))
                return true;
        }
    }
    return false;
}

bool isName(const std::string &text) { return toUcs4(text).find_first_of(nameSeparators) != std::u32string::npos; }

std::string withEnglishParts(const std::string &koreanFirst, const std::string &english)
{
    return splicedAtSeparators(koreanFirst, english, takesEnglishPart);
}

std::string withKoreanParts(const std::string &latinFirst, const std::string &korean)
{
    return splicedAtSeparators(latinFirst, korean, takesKoreanPart);
}

} // namespace tarn
