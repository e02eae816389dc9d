// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/WordGaps.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "core/text/HangulWords.h"
#include "core/text/MiddleDots.h"

namespace tarn {

namespace {

constexpr int darkest = 192;        // pixels below this level are ink: an underscore a pixel thick is
                                    // never black once antialiased and enlarged
constexpr double bodyShare = 0.75;  // the upper part of a line's box that holds the letters' bodies
constexpr double strokeShare = 0.6; // an underscore covers at least this share of its gap
constexpr int narrowDivisor = 4;    // a gap narrower than this part of the line holds no underscore
constexpr int closeDivisor = 3;     // nor is a blank beside an underscore
// An empty gap where the script changes is a blank from this share of the line's blank on, and
// from this share of an em (the line's Hangul about 0.9 of it): two words set without a blank
// leave their side bearings alone, a fifth of the line's blank or a tenth of an em in most
// interface fonts (a sixth in NanumGothic's "2대"), one with a blank leaves four fifths of the
// line's blank, or a fifth of an em. The narrow blanks of Cantarell leave a seventh: where the
// line's other blanks are that narrow, the least share of an em is the smaller one.
constexpr double lostBlankShare = 0.6, lostBlankEms = 0.17, narrowBlankEms = 0.14, hangulHeight = 0.9;

bool onlyBlanks(const std::string &text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

bool inkInColumn(const QImage &gray, int x, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        if (gray.constScanLine(y)[x] < darkest)
            return true;
    return false;
}

// The columns between two words where no letter's body has ink: the words' boxes may take in
// an underscore that the text leaves out, so the gap is found in the image. Empty (to < from)
// when the bodies touch.
std::pair<int, int> bodyGap(const QImage &gray, const QRect &line, const QRect &left, const QRect &right)
{
    const int top = std::max(0, line.top());
    const int bottom = std::min(gray.height() - 1, line.top() + int(bodyShare * line.height()));
    const int middle = std::clamp((left.right() + right.left()) / 2, 0, gray.width() - 1);
    if (inkInColumn(gray, middle, top, bottom))
        return {middle + 1, middle};
    int from = middle, to = middle;
    while (from - 1 > left.left() && !inkInColumn(gray, from - 1, top, bottom))
        --from;
    while (to + 1 < right.right() && !inkInColumn(gray, to + 1, top, bottom))
        ++to;
    return {from, to};
}

// The length of the run of ink in row `y` through columns [from, to], extended to both sides.
int inkRunThrough(const QImage &gray, int y, int from, int to)
{
    const uint8_t *row = gray.constScanLine(y);
    int left = from, right = to;
    while (left > 0 && row[left - 1] < darkest)
        --left;
    while (right + 1 < gray.width() && row[right + 1] < darkest)
        ++right;
    return right - left + 1;
}

// Whether the gap [from, to] holds an underscore: in one row below the letters' bodies ink
// covers most of the gap, and that ink ends about where the gap does.
bool holdsUnderscore(const QImage &gray, const QRect &line, int from, int to)
{
    const int width = to - from + 1;
    const int top = line.top() + int(bodyShare * line.height());
    const int bottom = std::min(gray.height() - 1, line.bottom() + line.height() / 4);
    for (int y = std::max(0, top); y <= bottom; ++y) {
        const uint8_t *row = gray.constScanLine(y);
        const int covered = int(std::count_if(row + from, row + to + 1, [](uint8_t v) { return v < darkest; }));
        if (covered >= strokeShare * width && inkRunThrough(gray, y, from, to) <= width + line.height() / 2)
            return true;
    }
    return false;
}

// Whether the ink between the middles of `left` and `right` leaves a blank's room: an empty gap of
// about the line's `blank`, and never less than a share of an em.
bool roomForBlank(const QImage &gray, const QRect &line, const QRect &left, const QRect &right,
                  std::optional<int> blank, double leastEms)
{
    const int room = widestEmptyRun(gray, line, left.center().x(), right.center().x());
    const double em = line.height() / hangulHeight;
    return room >= leastEms * em && (!blank || room >= lostBlankShare * *blank);
}

// Whether the words, set without a blank between them and one of them Hangul, leave a blank's room.
bool lostBlank(const QImage &gray, const QRect &line, const RecognizedWord &left, const RecognizedWord &right,
               std::optional<int> blank)
{
    // A bracket the engine joined to the word before it ("4.7.1(" before "빌드") has the blank on its other side.
    if (left.text.empty() || right.text.empty() || holdsHangul(left.text) == holdsHangul(right.text) ||
        mayBeMiddleDot(left.text) || mayBeMiddleDot(right.text) ||
        std::string_view("([{").find(left.text.back()) != std::string_view::npos)
        return false;
    return roomForBlank(gray, line, left.box, right.box, blank, blank ? narrowBlankEms : lostBlankEms);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

} // namespace

std::string withBlanksItLost(const QImage &gray, const QRect &line, const PlacedWord &placed, std::optional<int> blank)
{
    const std::vector<RecognizedWord> &characters = placed.characters;
    std::string read;
    for (const RecognizedWord &character : characters)
        read += character.text;
    if (read != placed.word.text || line.isEmpty())
        return placed.word.text;
    std::string text;
    for (size_t k = 0; k < characters.size(); ++k) {
        text += characters[k].text;
        if (k + 1 == characters.size() || characters[k].text.size() != 1 || characters[k + 1].text.size() != 1)
            continue;
        const char a = characters[k].text[0], b = characters[k + 1].text[0];
        if (((isDigit(a) && isLetter(b)) || (isLetter(a) && isDigit(b))) &&
            roomForBlank(gray, line, characters[k].box, characters[k + 1].box, blank, lostBlankEms))
            text += ' ';
    }
    return text;
}

std::string separatorBetween(const QImage &gray, const QRect &line, const RecognizedWord &left,
                             const RecognizedWord &right, const std::string &separator, std::optional<int> blank)
{
    // A dot the engine read nothing for stands between blanks, as a dot is set.
    if ((separator.empty() || onlyBlanks(separator)) && !left.box.isEmpty() && !right.box.isEmpty() &&
        middleDotLeftOut(gray, line, left.box, right.box, holdsHangul(left.text) || holdsHangul(right.text), blank))
        return " · ";
    if (separator.empty() && lostBlank(gray, line, left, right, blank))
        return " ";
    if (!onlyBlanks(separator) || left.box.isEmpty() || right.box.isEmpty() || line.isEmpty())
        return separator;
    const auto [from, to] = bodyGap(gray, line, left.box, right.box);
    const int width = to - from + 1;
    const bool underscore = width >= line.height() / narrowDivisor && holdsUnderscore(gray, line, from, to);
    // An underscore that one of the words already holds is not added twice.
    if (left.text.ends_with('_') || right.text.starts_with('_'))
        return underscore || width < line.height() / closeDivisor ? std::string() : separator;
    return underscore ? "_" : separator;
}

} // namespace tarn
