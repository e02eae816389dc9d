// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include "core/text/CounterGlyphs.h"
#include "core/text/DarkOnWhite.h"
#include "core/text/MiddleDots.h"
#include "core/text/NumberInk.h"
#include "core/text/NumberSigns.h"
#include "core/text/TextBlocks.h"
#include "core/text/ZeroGlyphs.h"
#include "support/InterfaceFonts.h"
#include "support/OcrScreens.h"

using namespace tarn;

namespace {

constexpr int enlargement = 3; // small text is read enlarged, as the recognizer prepares it
constexpr int margin = 8;

struct DrawnLine {
    QImage gray;
    QRect line;                        // the line's ink
    QRect marked;                      // the place of the character at `at`, as the engine would box it
    std::vector<RecognizedWord> words; // the words between blanks, boxed the same way
    std::vector<QRect> characters;     // each character of the text, boxed the same way
};

// `text` in `family` (Hangul from Noto Sans CJK KR) at `pixelSize` in `color` on `background`,
// prepared as the recognizer prepares a block: drawn dark on white, then enlarged.
DrawnLine draw(const QString &family, int pixelSize, bool bold, QColor color, QColor background, const QString &text,
               int at)
{
    TestSupport::requireInstalled(family);
    QFont font;
    font.setFamilies({family, QStringLiteral("Noto Sans CJK KR")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    const QFontMetricsF metrics(font);
    QImage image(int(metrics.horizontalAdvance(text)) + 40, int(metrics.height()) + 40, QImage::Format_RGB32);
    image.fill(background);
    const QPointF baseline(20, 20 + metrics.ascent());
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(baseline, text);
    painter.end();
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const std::vector<TextBlock> blocks = findTextBlocks(gray);
    if (blocks.size() != 1)
        return {};
    const QPointF origin = blocks.front().rect.topLeft() - QPoint(margin, margin);
    auto prepared = [&](const QRectF &r) {
        const QRectF moved = r.translated(-origin);
        return QRectF(moved.x() * enlargement, moved.y() * enlargement, moved.width() * enlargement,
                      moved.height() * enlargement)
            .toAlignedRect();
    };
    const QImage dark = darkOnWhite(gray, blocks.front(), margin);
    const QRectF ink = metrics.tightBoundingRect(text).translated(baseline);
    const auto box = [&](qsizetype from, qsizetype length) {
        return prepared(QRectF(baseline.x() + metrics.horizontalAdvance(text.left(from)), ink.top(),
                               metrics.horizontalAdvance(text.mid(from, length)), ink.height()));
    };
    std::vector<RecognizedWord> words;
    for (qsizetype from = 0; const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        from = text.indexOf(word, from);
        words.push_back({word.toStdString(), box(from, word.size()), 80});
    }
    std::vector<QRect> characters;
    for (qsizetype i = 0; i < text.size(); ++i)
        characters.push_back(box(i, 1));
    return {dark.scaled(dark.size() * enlargement, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), prepared(ink),
            box(at, 1), words, characters};
}

} // namespace

// A dot between blanks is a lone middle dot in each common interface font at the sizes of status
// lines and details, measured against the line's other blanks or, without them, its letters; a
// dot set between words, a hyphen, a dash and a full stop are not. The ink of a dot, lone or not,
// is a middle dot's.
TEST(MiddleDots, aDotWithABlanksRoomOnEitherSideIsALoneMiddleDot)
{
    struct Case {
        QString text;
        int at;
        bool lone;
        bool bold = false;
        bool wideInCjk = false; // taken for a lone dot in the CJK font
    };
    const Case cases[] = {
        {QStringLiteral("저장됨 · 오후 3:14"), 4, true},
        {QStringLiteral("캡처 12개 · 48.2 MB"), 7, true},
        {QStringLiteral("1920 x 1080 · 2 MB"), 12, true},
        {QStringLiteral("사진·동영상·문서"), 2, false},
        {QStringLiteral("PNG·JPEG"), 3, false},
        // The CJK font's dot is wide: set without blanks, it has the room of one with them elsewhere.
        {QStringLiteral("사진·동영상 12개"), 2, false, false, true},
        {QStringLiteral("PNG·JPEG 형식"), 3, false, false, true},
        {QStringLiteral("회의록 초안 - 디자인 검토"), 7, false},
        {QStringLiteral("2026-12-07 – 캡처"), 11, false},
        {QStringLiteral("2026-12-07 - 캡처 12개"), 11, false},
        {QStringLiteral("회의록 초안 - 디자인 검토"), 7, false, true},
        {QStringLiteral("1920 x 1080 - 2 MB"), 12, false},
        {QStringLiteral("끝   .   다음 항목"), 4, false},
        {QStringLiteral("* 표시한 항목 · 10*20"), 0, false},
        {QStringLiteral("* 표시한 항목 · 10*20"), 13, false},
    };
    const std::pair<QColor, QColor> schemes[] = {{QColor(28, 28, 30), QColor(246, 246, 248)},
                                                 {QColor(150, 152, 158), QColor(32, 33, 36)}};
    for (const char *family : TestSupport::interfaceFamilies)
        for (const int size : {12, 13, 15, 18})
            for (const auto &[color, background] : schemes)
                for (const Case &c : cases) {
                    const DrawnLine drawn =
                        draw(QString::fromLatin1(family), size, c.bold, color, background, c.text, c.at);
                    ASSERT_FALSE(drawn.gray.isNull()) << qPrintable(c.text);
                    const bool hangul = c.text.contains(QRegularExpression(QStringLiteral("[가-힣]")));
                    const auto blank = blankRoom(drawn.gray, drawn.line, drawn.words,
                                                 std::vector<std::string>(drawn.words.size(), " "));
                    const bool cjk = std::string_view(family) == "Noto Sans CJK KR";
                    EXPECT_EQ(isLoneMiddleDot(drawn.gray, drawn.line, {"ㆍ", drawn.marked, 80}, hangul, blank),
                              c.lone || (c.wideInCjk && cjk))
                        << qPrintable(c.text) << " in " << family << " " << size << " px on "
                        << qPrintable(background.name());
                    // Left out by the engine between the words beside it, a lone dot comes back.
                    const auto own = std::find_if(drawn.words.begin(), drawn.words.end(), [&](const auto &w) {
                        return w.text == QString(c.text[c.at]).toStdString() && w.box.contains(drawn.marked.center());
                    });
                    if (own != drawn.words.end() && own != drawn.words.begin() && own + 1 != drawn.words.end()) {
                        EXPECT_EQ(
                            middleDotLeftOut(drawn.gray, drawn.line, (own - 1)->box, (own + 1)->box, hangul, blank),
                            c.lone)
                            << qPrintable(c.text) << " in " << family << " " << size << " px";
                    }
                    // Lone or set between words, a dot's ink is a middle dot's; a dash's or a stop's is not.
                    EXPECT_EQ(isMiddleDotAt(drawn.gray, drawn.line, drawn.marked), c.text[c.at] == u'·')
                        << qPrintable(c.text) << " in " << family << " " << size << " px";
                    // Read as a hyphen inside its word, it is written as the dot; a hyphen stays one.
                    const qsizetype start = c.text.lastIndexOf(u' ', c.at) + 1, end = c.text.indexOf(u' ', c.at);
                    QString word = c.text.mid(start, (end < 0 ? c.text.size() : end) - start);
                    word[c.at - start] = u'-';
                    PlacedWord placed{{word.toStdString(), {}, 80}};
                    for (qsizetype k = 0; k < word.size(); ++k)
                        placed.characters.push_back(
                            {QString(word[k]).toStdString(), k == c.at - start ? drawn.marked : QRect(), 80});
                    EXPECT_EQ(withMiddleDotsOfItsInk(drawn.gray, drawn.line, placed, {}),
                              (c.text[c.at] == u'·' ? word.replace(u'-', u'·') : word).toStdString())
                        << qPrintable(c.text) << " in " << family << " " << size << " px";
                }
}

TEST(MiddleDots, onlyDotsDashesAndStopsMayStandForTheMiddleDot)
{
    const std::pair<const char *, bool> readings[] = {{"ㆍ", true}, {"-", true},    {"·", true},
                                                      {".", true},  {":", true},    {"—", true},
                                                      {"•", false}, {"ㆍ-", false}, {"", false}};
    for (const auto &[reading, may] : readings)
        EXPECT_EQ(mayBeMiddleDot(reading), may) << reading;
}

// The signs of numbers drawn in each font, as the engine reads them (a won sign as "\", a per
// cent sign as "96", a "v" as "1", a thousands separator as a full stop), and the "i" of a
// processor's name read as "1", come back from their ink; the same readings of a real "#", "W",
// "96", "1" or full stop stay, down to 11 px.
TEST(NumberSigns, theInkOfAWonAPerCentAndAVersionsVBringsThemBack)
{
    struct Case {
        QString drawn;
        std::vector<std::pair<std::string, int>> read; // each character read, and the drawn one it stands for
        std::string expected;
    };
    const auto digits = [](const std::string &text, int from) {
        std::vector<std::pair<std::string, int>> read;
        for (size_t i = 0; i < text.size(); ++i)
            read.push_back({text.substr(i, 1), from + int(i)});
        return read;
    };
    const auto join = [](auto a, const auto &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {QStringLiteral("₩12,900"), join(digits("\\", 0), digits("12,900", 1)), "₩12,900"},
        {QStringLiteral("₩9,000"),
         join(std::vector<std::pair<std::string, int>>{{"¥", 0}, {"#", 0}}, digits("9,000", 1)), "₩9,000"},
        {QStringLiteral("W12,900"), digits("W12,900", 0), "W12,900"},
        {QStringLiteral("#12,900"), digits("#12,900", 0), "#12,900"},
        {QStringLiteral("80%"), join(digits("80", 0), std::vector<std::pair<std::string, int>>{{"9", 2}, {"6", 2}}),
         "80%"},
        {QStringLiteral("8096"), digits("8096", 0), "8096"},
        {QStringLiteral("v12.0.4"), join(digits("1", 0), digits("12.0.4", 1)), "v12.0.4"},
        {QStringLiteral("112.0.4"), digits("112.0.4", 0), "112.0.4"},
        {QStringLiteral("₩34,500"), join(digits("\\", 0), digits("34.500", 1)), "₩34,500"},
        {QStringLiteral("-₩2,740"), join(digits("-W", 0), digits("2,740", 2)), "-₩2,740"},
        {QStringLiteral("172.16.254.1"), digits("172.16.254.1", 0), "172.16.254.1"},
        {QStringLiteral("#3"), digits("#3", 0), "#3"},
        {QStringLiteral("#4821"), digits("#4821", 0), "#4821"},
        {QStringLiteral("(0.5%)."),
         join(digits("(0.5%", 0), std::vector<std::pair<std::string, int>>{{")", 4}, {".", 6}}),
         "(0.5%)."}, // the bracket boxed on the sign
        {QStringLiteral("¥996"), join(std::vector<std::pair<std::string, int>>{{"¥", 0}}, digits("996", 1)), "¥996"},
        {QStringLiteral("i3"), digits("13", 0), "i3"},
        {QStringLiteral("13"), digits("13", 0), "13"},
    };
    for (const char *family : TestSupport::interfaceFamilies)
        for (const int size : {11, 12, 13, 16})
            for (const Case &c : cases) {
                // A right reading stays at every size, a version's v comes back too; the won and
                // per cent signs from 13 px up.
                std::string reading;
                for (const auto &[text, at] : c.read)
                    reading += text;
                if (size < 13 && reading != c.expected && !c.expected.starts_with('v'))
                    continue;
                const DrawnLine drawn =
                    draw(QString::fromLatin1(family), size, false, QColor(28, 28, 30), Qt::white, c.drawn, 0);
                ASSERT_FALSE(drawn.gray.isNull()) << qPrintable(c.drawn);
                PlacedWord placed{{"", drawn.line, 80}};
                for (size_t k = 0; k < c.read.size(); ++k) {
                    const auto &text = c.read[k].first;
                    const auto at = c.read[k].second;
                    const auto parts =
                        std::count_if(c.read.begin(), c.read.end(), [&](auto &r) { return r.second == at; });
                    const auto part =
                        std::count_if(c.read.begin(), c.read.begin() + k, [&](auto &r) { return r.second == at; });
                    const QRect whole = drawn.characters[size_t(at)];
                    const int width = whole.width() / int(parts);
                    placed.characters.push_back(
                        {text, QRect(whole.left() + int(part) * width, whole.top(), width, whole.height()), 80});
                    placed.word.text += text;
                }
                placed.length = placed.word.text.size();
                EXPECT_EQ(withSignsOfItsInk(drawn.gray, drawn.line, placed), c.expected)
                    << qPrintable(c.drawn) << " in " << family << " " << size << " px";
            }
}

// A full stop or a colon that the engine left out of a number, or read as a digit, comes back from
// the number's ink, also where the number is set in one word with its unit; a comma, a digit's
// broken-off piece and the dot of an "i" put nothing in, nor do three digits after a mark that may
// be a small comma. The English model reads the number as the engine did. A reading that stays
// stays down to 12 px; the signs come back from 13 px, in NanumGothic, whose thin strokes break
// apart below, from 16 px. Small letters beside a capital read as digits ("0016" for "Core") take
// the English model's letters; digits, as high as each other, keep theirs.
TEST(NumberInk, theStopsAndColonsANumbersInkShowsComeBack)
{
    struct Case {
        QString drawn;
        std::vector<std::pair<std::string, int>> read; // each character read, and the drawn one it stands for
        std::string expected;
        std::string english = {}; // the English model's reading; none: as the engine read it
    };
    const Case cases[] = {
        {QStringLiteral("2.4"), {{"2", 0}, {"4", 2}}, "2.4"},
        {QStringLiteral("2.4GHz"), {{"2", 0}, {"4", 2}, {"G", 3}, {"H", 4}, {"z", 5}}, "2.4GHz"},
        {QStringLiteral("0.4%"), {{"0", 0}, {"4", 2}, {"%", 3}}, "0.4%"},
        {QStringLiteral("44.2MB"), {{"4", 0}, {"4", 1}, {"2", 3}, {"M", 4}, {"B", 5}}, "44.2MB"},
        {QStringLiteral("2:31동기화"), {{"2", 0}, {"3", 2}, {"1", 3}, {"동", 4}, {"기", 5}, {"화", 6}}, "2:31동기화"},
        {QStringLiteral("3:00"), {{"3", 0}, {"3", 1}, {"0", 2}, {"0", 3}}, "3:00"},
        {QStringLiteral("1,234"), {{"1", 0}, {"2", 2}, {"3", 3}, {"4", 4}}, "1234"},
        {QStringLiteral("1.234"), {{"1", 0}, {"2", 2}, {"3", 3}, {"4", 4}}, "1234"},
        {QStringLiteral("i3"), {{"1", 0}, {"3", 1}}, "13"},
        {QStringLiteral("24"), {{"2", 0}, {"4", 1}}, "24"},
        {QStringLiteral("Core"), {{"0", 0}, {"0", 1}, {"1", 2}, {"6", 3}}, "Core", "Core"},
        {QStringLiteral("2024"), {{"2", 0}, {"0", 1}, {"2", 2}, {"4", 3}}, "2024", "ZoZa"},
    };
    for (const char *family : TestSupport::interfaceFamilies)
        for (const int size : {12, 13, 16})
            for (const Case &c : cases) {
                std::string reading;
                for (const auto &[text, at] : c.read)
                    reading += text;
                const int smallest = std::string_view(family) == "NanumGothic" ? 16 : 13;
                if (size < smallest && reading != c.expected)
                    continue;
                const DrawnLine drawn =
                    draw(QString::fromLatin1(family), size, false, QColor(28, 28, 30), Qt::white, c.drawn, 0);
                ASSERT_FALSE(drawn.gray.isNull()) << qPrintable(c.drawn);
                PlacedWord placed{{"", {}, 80}};
                for (const auto &[text, at] : c.read) {
                    placed.characters.push_back({text, drawn.characters[size_t(at)], 80});
                    placed.word.text += text;
                    placed.word.box |= drawn.characters[size_t(at)];
                }
                placed.length = placed.word.text.size();
                const auto english = [&](const QRect &) { return c.english.empty() ? placed.word.text : c.english; };
                EXPECT_EQ(numberOfItsInk(
                              drawn.gray, drawn.line, placed, [] { return std::string(); }, english),
                          c.expected)
                    << qPrintable(c.drawn) << " in " << family << " " << size << " px";
            }
}

// A zero of a coding font, its dot blurred into its ring, read as a 6 or a 9, is a zero again from
// 13 px (at 12 px only at some places), in a time too; a right 6 or 9 stays in every font down to
// 11 px.
TEST(ZeroGlyphs, aRingReadAsASixOrANineIsAZero)
{
    const std::pair<QString, std::string> misread[] = {
        {QStringLiteral("4096"), "4996"}, {QStringLiteral("09:12"), "69:12"}, {QStringLiteral("2048"), "2648"}};
    std::vector<const char *> families(std::begin(TestSupport::interfaceFamilies),
                                       std::end(TestSupport::interfaceFamilies));
    families.push_back("NanumGothicCoding");
    for (const char *family : families)
        for (const int size : {11, 12, 13, 16})
            for (const QString &drawn : {QStringLiteral("1536"), QStringLiteral("6890"), QStringLiteral("19:96"),
                                         misread[0].first, misread[1].first, misread[2].first}) {
                const DrawnLine line =
                    draw(QString::fromLatin1(family), size, false, QColor(214, 214, 218), QColor(24, 24, 26), drawn, 0);
                ASSERT_FALSE(line.gray.isNull()) << qPrintable(drawn);
                std::string read = drawn.toStdString(), expected = read;
                for (const auto &[shown, wrong] : misread)
                    if (shown == drawn && std::string_view(family) == "NanumGothicCoding" && size >= 13)
                        read = wrong;
                EXPECT_EQ(withZerosOfItsInk(line.gray, line.line, {read, line.words.front().box, 80}), expected)
                    << qPrintable(drawn) << " in " << family << " " << size << " px";
            }
}

// A counter of a coding font read as more digits or a letter comes back, from what the Korean model
// reads for its syllables, also where that reads the digit as a syllable or not at all; two digits
// stay digits.
TEST(CounterGlyphs, aCodingFontsCounterComesBackFromItsGlyphs)
{
    struct Case {
        QString drawn;
        std::string read, korean, expected;
    };
    const Case cases[] = {{QStringLiteral("8월"), "82", "용월", "8월"},
                          {QStringLiteral("8월"), "8@", "월", "8월"},
                          {QStringLiteral("3월"), "3H", "3월", "3월"},
                          {QStringLiteral("82"), "82", "용월", "82"}};
    for (const int size : {12, 13, 16})
        for (const Case &c : cases) {
            const DrawnLine line = draw(QStringLiteral("NanumGothicCoding"), size, false, QColor(214, 214, 218),
                                        QColor(24, 24, 26), c.drawn, 0);
            ASSERT_FALSE(line.gray.isNull()) << qPrintable(c.drawn);
            const PlacedWord placed{{c.read, line.words.front().box, 80}};
            EXPECT_EQ(withCounterOfItsGlyphs(line.gray, line.line, placed, [&] { return c.korean; }), c.expected)
                << qPrintable(c.drawn) << " read " << c.read << " at " << size << " px";
        }
}
