// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Screenshot-like images with known text, drawn with the interface font, for the recognition
// tests and the recognition benchmark, and the character error rate against their text.

#include <algorithm>
#include <string>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "InterfaceFonts.h"
#include "core/text/ReadingOrder.h"
#include "core/text/RecognitionResult.h"

namespace tarn::OcrScreens {

struct Line {
    QString text;
    QRectF box; // the font's line box
    QRectF ink; // the drawn ink, as a recognizer boxes the line
};

struct Screen {
    QString name;
    QImage image;
    std::vector<Line> lines;
};

class ScreenPainter {
public:
    ScreenPainter(QString name, int width, int height, QColor background)
    {
        screen_.name = std::move(name);
        screen_.image = QImage(width, height, QImage::Format_RGB32);
        screen_.image.fill(background);
    }

    // A rounded rectangle filled with `fill` and outlined with `outline`, either none when invalid.
    void shape(const QRectF &rect, double radius, QColor fill, QColor outline = {})
    {
        QPainter painter(&screen_.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(outline.isValid() ? QPen(outline, 1) : QPen(Qt::NoPen));
        painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
        painter.drawRoundedRect(rect, radius, radius);
    }

    void panel(const QRectF &rect, QColor fill) { shape(rect, 10, fill); }

    // A button: a shape as above, its label centred.
    void button(const QRectF &rect, QColor fill, QColor outline, int pixelSize, QColor color, const QString &label)
    {
        shape(rect.adjusted(0.5, 0.5, -0.5, -0.5), 6, fill, outline);
        const QFontMetricsF metrics(font(pixelSize));
        text(rect.center().x() - metrics.horizontalAdvance(label) / 2, rect.center().y() - metrics.height() / 2,
             pixelSize, color, label);
    }

    // A photo-like thumbnail: a diagonal gradient with a soft round shape on it.
    void picture(const QRectF &rect, QColor from, QColor to)
    {
        QPainter painter(&screen_.image);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
        gradient.setColorAt(0, from);
        gradient.setColorAt(1, to);
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawRoundedRect(rect, 4, 4);
        painter.setBrush(QColor(255, 255, 255, 90));
        painter.drawEllipse(QRectF(rect.x() + rect.width() * 0.55, rect.y() + rect.height() * 0.2, rect.height() * 0.4,
                                   rect.height() * 0.4));
    }

    // A mark drawn over the screen as an editor draws one: a rectangle's outline or a line.
    void mark(const QRectF &rect, QColor color, double width)
    {
        QPainter painter(&screen_.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(color, width));
        painter.drawRect(rect);
    }
    void mark(const QLineF &line, QColor color, double width)
    {
        QPainter painter(&screen_.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(line);
    }

    // One line with its top-left corner at (x, y); gives the y below the line.
    double text(double x, double y, int pixelSize, QColor color, const QString &text, bool bold = false)
    {
        return drawLine(font(pixelSize, bold), x, y, color, text);
    }

    // The same in the usual monospaced font of code editors and terminals (Hangul from the
    // interface font).
    double code(double x, double y, int pixelSize, QColor color, const QString &text)
    {
        QFont mono = font(pixelSize);
        mono.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono CJK KR")});
        return drawLine(mono, x, y, color, text);
    }

    // The interface font: the chosen family (see drawnIn), else the system's sans serif.
    static QFont systemFont(int pixelSize, bool bold = false)
    {
        QFont font;
        if (!family().isEmpty())
            font.setFamilies({family(), QStringLiteral("Noto Sans CJK KR")});
        font.setPixelSize(pixelSize);
        font.setWeight(bold ? QFont::DemiBold : QFont::Normal);
        return font;
    }

    // The CJK font, Latin letters too, unless a family is chosen.
    static QFont font(int pixelSize, bool bold = false)
    {
        QFont font = systemFont(pixelSize, bold);
        if (family().isEmpty())
            font.setFamilies({QStringLiteral("Noto Sans CJK KR")});
        return font;
    }

    static QString &family()
    {
        static QString chosen;
        return chosen;
    }

    // Lines one under the other, `step` pixels apart.
    void column(double x, double y, double step, int pixelSize, QColor color, const QStringList &lines)
    {
        for (const auto &line : lines) {
            text(x, y, pixelSize, color, line);
            y += step;
        }
    }

    Screen take() { return std::move(screen_); }

    double drawLine(const QFont &font, double x, double y, QColor color, const QString &text)
    {
        const QFontMetricsF metrics(font);
        QPainter painter(&screen_.image);
        painter.setFont(font);
        painter.setPen(color);
        const QPointF baseline(x, y + metrics.ascent());
        painter.drawText(baseline, text);
        screen_.lines.push_back({text, QRectF(x, y, metrics.horizontalAdvance(text), metrics.height()),
                                 metrics.tightBoundingRect(text).translated(baseline)});
        return y + metrics.height();
    }

    Screen screen_;
};

inline const QColor darkText(28, 28, 30), lightText(228, 228, 231);

// Lines of 20 px text, 40 px apart, on a plain 860 x 280 screen.
inline Screen plainLines(QString name, QColor background, QColor color, const QStringList &lines)
{
    ScreenPainter p(std::move(name), 860, 280, background);
    p.column(36, 22, 40, 20, color, lines);
    return p.take();
}

inline Screen englishUi()
{
    return plainLines(QStringLiteral("English UI"), QColor(245, 245, 247), darkText,
                      {QStringLiteral("Save changes before closing?"),
                       QStringLiteral("Your edits will be lost if you don't save them."),
                       QStringLiteral("Export as PNG or JPEG"), QStringLiteral("Recent captures (24 items)"),
                       QStringLiteral("Keyboard shortcut: Ctrl+Shift+4"),
                       QStringLiteral("Library folder: /home/user/Pictures/Tarnwick")});
}

inline Screen koreanUi()
{
    return plainLines(QStringLiteral("Korean UI"), QColor(250, 250, 250), darkText,
                      {QStringLiteral("캡처를 취소했습니다."), QStringLiteral("라이브러리 인덱스를 읽지 못했습니다."),
                       QStringLiteral("최근 캡처 항목을 불러오는 중입니다"), QStringLiteral("즐겨찾기에 추가"),
                       QStringLiteral("휴지통으로 이동"), QStringLiteral("환경설정에서 단축키를 바꿀 수 있습니다")});
}

inline Screen mixedLines()
{
    return plainLines(QStringLiteral("mixed lines"), QColor(248, 248, 248), darkText,
                      {QStringLiteral("PNG 파일로 내보내기"), QStringLiteral("Tarnwick 라이브러리 열기"),
                       QStringLiteral("단축키: Ctrl+Shift+2"), QStringLiteral("이메일 hong@example.com 으로 보내기"),
                       QStringLiteral("해상도 3840 x 2160 화면"), QStringLiteral("OCR 결과를 클립보드에 복사")});
}

inline Screen whiteOnDark()
{
    return plainLines(QStringLiteral("white on dark"), QColor(30, 31, 34), lightText,
                      {QStringLiteral("라이브러리"), QStringLiteral("Recent captures"), QStringLiteral("즐겨찾기 12개"),
                       QStringLiteral("Trash is empty"), QStringLiteral("화면 녹화를 시작합니다"),
                       QStringLiteral("Recording saved to Recordings")});
}

inline Screen smallUiText()
{
    ScreenPainter p(QStringLiteral("small 11-13 px"), 640, 230, QColor(36, 37, 40));
    const QStringList lines{QStringLiteral("File  Edit  View  Capture  Window  Help"),
                            QStringLiteral("캡처 영역을 선택하세요"),
                            QStringLiteral("Copied to clipboard"),
                            QStringLiteral("텍스트 인식이 끝났습니다"),
                            QStringLiteral("Size 1920 x 1080, 2.4 MB"),
                            QStringLiteral("내보내기 형식: PNG")};
    const int sizes[] = {11, 12, 13, 12, 11, 13};
    double y = 14;
    for (int i = 0; i < lines.size(); ++i) {
        p.text(16, y, sizes[i], QColor(220, 220, 222), lines[i]);
        y += sizes[i] * 1.45 + 12;
    }
    return p.take();
}

// The sidebar and the list column of the application window on the desktop screens below.
inline QStringList sidebarLines()
{
    return {QStringLiteral("라이브러리"), QStringLiteral("모든 캡처"), QStringLiteral("즐겨찾기"),
            QStringLiteral("최근 항목"),  QStringLiteral("동영상"),    QStringLiteral("휴지통")};
}

inline QStringList recentLines(const QString &sizeLine)
{
    return {QStringLiteral("Recent captures"),
            QStringLiteral("Screenshot 2026-12-07 at 09.41.12"),
            QStringLiteral("캡처한 화면에서 텍스트를 찾았습니다"),
            QStringLiteral("Export as PNG or JPEG"),
            QStringLiteral("라이브러리 인덱스를 저장했습니다"),
            sizeLine};
}

// A whole 4K screen: title bar, sidebar, a list column beside a details panel, a light card.
inline Screen fullScreen4k()
{
    ScreenPainter p(QStringLiteral("3840x2160 screen"), 3840, 2160, QColor(24, 25, 28));
    p.panel(QRectF(-20, -20, 3880, 92), QColor(40, 41, 45));
    p.text(40, 18, 26, lightText, QStringLiteral("Tarnwick - Capture Studio"), true);
    p.panel(QRectF(24, 96, 560, 2040), QColor(34, 35, 39));
    p.column(64, 140, 88, 28, lightText, sidebarLines());
    p.column(660, 140, 96, 28, lightText, recentLines(QStringLiteral("Size 3840 x 2160, 4.8 MB")));
    p.panel(QRectF(2200, 96, 1600, 900), QColor(44, 45, 50));
    p.column(2260, 150, 120, 28, lightText,
             {QStringLiteral("Details"), QStringLiteral("생성한 날짜: 2026년 12월 7일"), QStringLiteral("Kind: image"),
              QStringLiteral("태그: 회의, 디자인"), QStringLiteral("Text regions: 14"),
              QStringLiteral("신뢰도 평균 0.93")});
    p.panel(QRectF(660, 1300, 2400, 700), QColor(238, 238, 240));
    p.column(720, 1350, 120, 30, darkText,
             {QStringLiteral("Settings"), QStringLiteral("캡처 후 자동으로 텍스트를 인식합니다"),
              QStringLiteral("Show the capture in the library after saving"),
              QStringLiteral("화면 녹화에 마이크 소리를 포함합니다"),
              QStringLiteral("Hide the pointer while recording")});
    return p.take();
}

// A 1600x1000 application window: sidebar, list and a dialog.
inline Screen desktop1600()
{
    ScreenPainter p(QStringLiteral("1600x1000 window"), 1600, 1000, QColor(28, 29, 32));
    p.panel(QRectF(-20, -20, 1640, 64), QColor(40, 41, 45));
    p.text(20, 10, 15, lightText, QStringLiteral("Tarnwick - Capture Studio"), true);
    p.panel(QRectF(12, 56, 280, 930), QColor(34, 35, 39));
    p.column(32, 80, 44, 16, lightText, sidebarLines());
    p.column(330, 80, 48, 16, lightText,
             recentLines(QStringLiteral("Size 1600 x 1000, 1.2 MB"))
                 << QStringLiteral("회의록 초안 - 디자인 검토") << QStringLiteral("Meeting notes, December 7"));
    p.panel(QRectF(900, 500, 640, 300), QColor(236, 236, 238));
    p.column(930, 530, 44, 16, darkText,
             {QStringLiteral("변경 사항을 저장하시겠습니까?"),
              QStringLiteral("Your edits will be lost if you don't save them."), QStringLiteral("저장하지 않음"),
              QStringLiteral("Cancel"), QStringLiteral("Save")});
    return p.take();
}

// A busy 4K desktop: an editor window with a long document beside a chat window and a dark
// file list, about a hundred lines in all.
inline Screen busyScreen4k()
{
    ScreenPainter p(QStringLiteral("busy 3840x2160"), 3840, 2160, QColor(46, 52, 64));
    const QStringList english{QStringLiteral("The capture was saved to the library at 09:41."),
                              QStringLiteral("Recognized text is searchable from the library window."),
                              QStringLiteral("Export the edited image as PNG or JPEG from the File menu."),
                              QStringLiteral("Press Ctrl+Shift+2 to capture a region of the screen."),
                              QStringLiteral("Recording stopped after 12 minutes and 4 seconds."),
                              QStringLiteral("Blur hides names and numbers before you share a capture.")};
    const QStringList korean{QStringLiteral("캡처가 라이브러리에 저장되었습니다."),
                             QStringLiteral("인식된 텍스트는 라이브러리에서 검색할 수 있습니다."),
                             QStringLiteral("파일 메뉴에서 편집한 이미지를 내보낼 수 있습니다."),
                             QStringLiteral("화면 영역을 캡처하려면 단축키를 누르세요."),
                             QStringLiteral("녹화가 12분 4초 후에 끝났습니다."),
                             QStringLiteral("공유하기 전에 이름과 번호를 흐리게 가리세요.")};
    p.panel(QRectF(80, 80, 2100, 1960), QColor(250, 250, 251));
    p.text(120, 110, 28, darkText, QStringLiteral("회의록 - 디자인 검토 (Design review notes)"), true);
    for (int i = 0; i < 36; ++i)
        p.text(120, 190 + i * 50, 24, darkText, (i % 2 ? korean : english)[(i / 2 + i) % 6]);
    p.panel(QRectF(2260, 80, 1500, 1200), QColor(30, 31, 35));
    p.text(2300, 110, 26, lightText, QStringLiteral("Team chat"), true);
    for (int i = 0; i < 18; ++i)
        p.text(2300, 180 + i * 58, 22, lightText,
               (i % 3 ? english : korean)[(i * 5) % 6].left(i % 2 ? 40 : 30).trimmed());
    p.panel(QRectF(2260, 1360, 1500, 680), QColor(24, 25, 28));
    for (int i = 0; i < 14; ++i)
        p.text(2300, 1390 + i * 46, 16, QColor(210, 210, 214),
               QStringLiteral("Screenshot %1.png   %2 KB   캡처 %3").arg(2026120700 + i).arg(380 + 17 * i).arg(i + 1));
    return p.take();
}

// Headings of 40 px: the first stem of a large capital stands apart from the next letter.
inline QStringList headingLines()
{
    return {QStringLiteral("Hello Tarnwick capture test"), QStringLiteral("안녕하세요 화면 캡처 시험입니다"),
            QStringLiteral("Import Library Items")};
}

inline Screen largeHeadings()
{
    ScreenPainter p(QStringLiteral("40 px headings"), 900, 300, Qt::white);
    p.column(20, 20, 80, 40, darkText, headingLines());
    return p.take();
}

// The same after markup: a rectangle around the start of the lines and an arrow across two.
inline Screen markedUpHeadings()
{
    ScreenPainter p(QStringLiteral("marked-up headings"), 900, 300, Qt::white);
    p.column(20, 20, 80, 40, darkText, headingLines());
    const QColor red(255, 86, 64);
    p.mark(QRectF(12, 20, 190, 250), red, 3);
    p.mark(QLineF(600, 10, 420, 150), red, 3);
    return p.take();
}

// Screens of real interfaces in situations that a per-block reading gets wrong.

inline const QColor accentBlue(10, 104, 220), quietText(120, 122, 128);

// A menu bar whose open menu is highlighted white on blue above its menu, in which one item
// is highlighted the same way: light text on a coloured fill inside mostly dark-on-light text.
inline Screen menuWithHighlight()
{
    ScreenPainter p(QStringLiteral("menu highlight"), 520, 300, QColor(246, 246, 247));
    p.text(14, 6, 13, darkText, QStringLiteral("파일   편집   보기"));
    p.panel(QRectF(128, 2, 52, 24), accentBlue);
    p.text(140, 6, 13, Qt::white, QStringLiteral("캡처"));
    p.text(196, 6, 13, darkText, QStringLiteral("창   도움말"));
    p.panel(QRectF(124, 30, 300, 182), Qt::white);
    const QStringList items{QStringLiteral("새 캡처"),     QStringLiteral("영역 캡처"),
                            QStringLiteral("창 캡처"),     QStringLiteral("화면 녹화 시작"),
                            QStringLiteral("텍스트 인식"), QStringLiteral("라이브러리 열기")};
    const QStringList keys{QStringLiteral("Ctrl+N"),       QStringLiteral("Ctrl+Shift+2"),
                           QStringLiteral("Ctrl+Shift+3"), QStringLiteral("Ctrl+Shift+5"),
                           QStringLiteral("Ctrl+Shift+O"), QStringLiteral("Ctrl+L")};
    for (int i = 0; i < items.size(); ++i) {
        const double y = 38 + i * 28;
        const bool highlighted = i == 1;
        if (highlighted)
            p.panel(QRectF(130, y - 2, 288, 26), accentBlue);
        const QColor color = highlighted ? QColor(Qt::white) : darkText;
        p.text(146, y + 3, 13, color, items[i]);
        const QFontMetricsF metrics(ScreenPainter::font(13));
        p.text(404 - metrics.horizontalAdvance(keys[i]), y + 3, 13, highlighted ? color : quietText, keys[i]);
    }
    return p.take();
}

// A dialog whose default button is white on blue beside two grey buttons.
inline Screen dialogWithButtons()
{
    ScreenPainter p(QStringLiteral("dialog buttons"), 600, 200, QColor(236, 236, 238));
    p.panel(QRectF(20, 16, 560, 168), QColor(252, 252, 253));
    p.text(44, 36, 15, darkText, QStringLiteral("변경 사항을 저장하시겠습니까?"), true);
    p.text(44, 66, 13, darkText, QStringLiteral("Your edits will be lost if you don't save them."));
    p.button(QRectF(264, 130, 96, 28), QColor(222, 222, 226), {}, 13, darkText, QStringLiteral("저장 안 함"));
    p.button(QRectF(368, 130, 88, 28), QColor(222, 222, 226), {}, 13, darkText, QStringLiteral("Cancel"));
    p.button(QRectF(464, 130, 88, 28), accentBlue, {}, 13, Qt::white, QStringLiteral("Done"));
    return p.take();
}

// A notification with the application's picture beside its text and a row of buttons, one
// of them filled.
inline Screen notificationWithButtons()
{
    ScreenPainter p(QStringLiteral("notification"), 480, 190, QColor(46, 52, 64));
    p.panel(QRectF(16, 16, 448, 158), QColor(250, 250, 252));
    p.picture(QRectF(32, 34, 40, 40), QColor(255, 140, 60), QColor(200, 40, 120));
    p.text(86, 30, 14, darkText, QStringLiteral("Tarnwick"), true);
    p.text(86, 54, 13, darkText, QStringLiteral("캡처가 라이브러리에 저장되었습니다."));
    p.text(86, 76, 12, quietText, QStringLiteral("Screenshot 2026-12-07 at 09.41.12.png"));
    // The Korean label first: drawn from the fallback font, its ink may stand a pixel higher.
    p.button(QRectF(86, 124, 80, 30), {}, QColor(196, 196, 202), 13, darkText, QStringLiteral("복사"));
    p.button(QRectF(174, 124, 132, 30), accentBlue, {}, 13, Qt::white, QStringLiteral("Show in Library"));
    p.button(QRectF(314, 124, 80, 30), {}, QColor(196, 196, 202), 13, darkText, QStringLiteral("Dismiss"));
    return p.take();
}

// A photo library list: a gradient thumbnail left of each row's title and details.
inline Screen photoList()
{
    ScreenPainter p(QStringLiteral("pictures beside text"), 560, 540, QColor(30, 31, 34));
    const QStringList titles{
        QStringLiteral("회의록 초안 - 디자인 검토"), QStringLiteral("Screenshot 2026-12-07 at 09.41.12"),
        QStringLiteral("제주도 여행 사진"),          QStringLiteral("영수증 스캔 12월"),
        QStringLiteral("Error dialog in settings"),  QStringLiteral("가족 모임 사진 모음"),
        QStringLiteral("Whiteboard sketch"),         QStringLiteral("주간 보고서 표지")};
    const QColor from[] = {QColor(250, 180, 90), QColor(70, 130, 230),  QColor(40, 170, 150),  QColor(230, 230, 220),
                           QColor(220, 70, 70),  QColor(160, 110, 220), QColor(240, 240, 240), QColor(90, 200, 90)};
    for (int i = 0; i < titles.size(); ++i) {
        const double y = 16 + i * 64;
        p.picture(QRectF(16, y, 72, 52), from[i], from[(i + 3) % 8].darker(160));
        p.text(100, y + 6, 14, lightText, titles[i]);
        p.text(100, y + 29, 12, QColor(150, 152, 158),
               QStringLiteral("2026-12-%1 · 1920 x 1080 · %2 MB")
                   .arg(i + 1, 2, 10, QChar(u'0'))
                   .arg(1.2 + i * 0.3, 0, 'f', 1));
    }
    return p.take();
}

// Rows of outlined buttons on a light toolbar and in a dark panel, set close together.
inline Screen outlinedButtons()
{
    ScreenPainter p(QStringLiteral("outlined buttons"), 720, 220, QColor(248, 248, 250));
    // One script to a row: the tops of Hangul and Latin ink differ by more than the reading
    // order's row tolerance, so a mixed row's order would hang on a pixel.
    const QStringList light{QStringLiteral("복사"), QStringLiteral("저장"),     QStringLiteral("공유"),
                            QStringLiteral("삭제"), QStringLiteral("내보내기"), QStringLiteral("인쇄")};
    double x = 16;
    for (const auto &label : light) {
        const double width = QFontMetricsF(ScreenPainter::font(13)).horizontalAdvance(label) + 32;
        p.button(QRectF(x, 14, width, 30), {}, QColor(186, 186, 192), 13, darkText, label);
        x += width + 8;
    }
    p.panel(QRectF(8, 60, 704, 150), QColor(36, 37, 41));
    const QStringList dark{QStringLiteral("Cancel"),    QStringLiteral("Retry"),       QStringLiteral("Open log"),
                           QStringLiteral("Copy path"), QStringLiteral("자세히 보기"), QStringLiteral("보고서 보내기"),
                           QStringLiteral("설정 열기"), QStringLiteral("닫기")};
    for (int i = 0; i < dark.size(); ++i)
        p.button(QRectF(24 + (i % 4) * 168, 80 + (i / 4) * 56, 156, 48), {}, QColor(96, 97, 104), 13, lightText,
                 dark[i]);
    return p.take();
}

// A monospaced .env file in a light editor: keys joined by underscores, and credentials.
inline Screen envFile()
{
    ScreenPainter p(QStringLiteral("monospaced .env"), 560, 190, Qt::white);
    const QStringList lines{QStringLiteral("# 로컬 개발 환경"),
                            QStringLiteral("APP_ENV=development"),
                            QStringLiteral("DATABASE_URL=postgres://tarn_app@localhost:5432/tarn_dev"),
                            QStringLiteral("CAPTURE_DIR=/home/user/Pictures/Tarnwick"),
                            QStringLiteral("STRIPE_SECRET_KEY=sk_live_51HxT9aQ2mZ8kP4rW7vB"),
                            QStringLiteral("GITHUB_TOKEN=ghp_R4ndmTkn5Vx8QwErTy7UbZs2AcDe"),
                            QStringLiteral("MAX_UPLOAD_SIZE_MB=25"),
                            QStringLiteral("SOME_TOKEN=abc_def_123")};
    for (int i = 0; i < lines.size(); ++i)
        p.code(14, 12 + i * 20, 12, darkText, lines[i]);
    return p.take();
}

// A dark list of keyboard shortcuts in 12 px: command names and their keys.
inline Screen shortcutList()
{
    ScreenPainter p(QStringLiteral("12 px shortcuts"), 460, 250, QColor(36, 37, 40));
    const QStringList commands{
        QStringLiteral("영역 캡처"),    QStringLiteral("전체 화면 캡처"), QStringLiteral("Copy to clipboard"),
        QStringLiteral("텍스트 인식"),  QStringLiteral("Undo"),           QStringLiteral("Redo"),
        QStringLiteral("Show library"), QStringLiteral("화면 녹화")};
    const QStringList keys{QStringLiteral("Ctrl+Shift+2"), QStringLiteral("Ctrl+Shift+3"),
                           QStringLiteral("Ctrl+C"),       QStringLiteral("Ctrl+Shift+O"),
                           QStringLiteral("Ctrl+Z"),       QStringLiteral("Ctrl+Shift+Z"),
                           QStringLiteral("Ctrl+L"),       QStringLiteral("Ctrl+Shift+5")};
    for (int i = 0; i < commands.size(); ++i) {
        p.text(16, 12 + i * 28, 12, lightText, commands[i]);
        p.text(300, 12 + i * 28, 12, QColor(170, 172, 178), keys[i]);
    }
    return p.take();
}

// A button drawn in `font`: a rounded rectangle, filled or outlined, its label centred.
inline void fontButton(ScreenPainter &p, const QFont &font, const QRectF &rect, QColor fill, QColor outline,
                       QColor color, const QString &label)
{
    p.shape(rect.adjusted(0.5, 0.5, -0.5, -0.5), 5, fill, outline);
    const QFontMetricsF metrics(font);
    p.drawLine(font, rect.center().x() - metrics.horizontalAdvance(label) / 2, rect.center().y() - metrics.height() / 2,
               color, label);
}

// A dark Korean dialog in the system font: a path in quiet text under the message, and three
// buttons (two outlined, the default one filled) at the bottom right.
inline Screen koreanDialogWithPath()
{
    ScreenPainter p(QStringLiteral("Korean dialog, path"), 640, 230, QColor(30, 31, 34));
    p.panel(QRectF(12, 12, 616, 206), QColor(44, 45, 50));
    p.drawLine(ScreenPainter::systemFont(15, true), 36, 32, lightText, QStringLiteral("녹화 파일을 옮기지 못했습니다"));
    p.drawLine(ScreenPainter::systemFont(13), 36, 66, lightText,
               QStringLiteral("대상 폴더에 쓸 수 없습니다. 권한을 확인한 뒤 다시 시도하세요."));
    p.drawLine(ScreenPainter::systemFont(12), 36, 92, QColor(150, 152, 158),
               QStringLiteral("/home/user/Videos/Tarnwick/Recordings"));
    const QFont font = ScreenPainter::systemFont(13);
    const QColor outline(96, 97, 104), button(52, 53, 58);
    fontButton(p, font, QRectF(316, 168, 64, 30), button, outline, lightText, QStringLiteral("취소"));
    fontButton(p, font, QRectF(390, 168, 100, 30), button, outline, lightText, QStringLiteral("폴더 열기"));
    fontButton(p, font, QRectF(500, 168, 104, 30), accentBlue, {}, Qt::white, QStringLiteral("다시 시도"));
    return p.take();
}

// Status lines in 12 px, on a light bar in the CJK font and on a dark one in the system font:
// parts set apart by a middle dot between blanks, with counts, sizes and times of day.
inline Screen koreanStatusLines()
{
    ScreenPainter p(QStringLiteral("12 px status lines"), 460, 330, QColor(242, 242, 245));
    const QStringList light{QStringLiteral("저장됨 · 오후 3:14"), QStringLiteral("캡처 12개 · 선택 3개 · 48.2 MB"),
                            QStringLiteral("녹화 중 · 00:04:17 · 2560 x 1440"),
                            QStringLiteral("텍스트 인식 완료 · 14줄 · 0.8초")};
    for (int i = 0; i < light.size(); ++i)
        p.text(14, 12 + i * 34, 12, i % 2 ? quietText : darkText, light[i]);
    p.panel(QRectF(-10, 150, 480, 200), QColor(36, 37, 41));
    const QStringList dark{
        QStringLiteral("마지막 동기화 · 오후 12:45"), QStringLiteral("남은 공간 3.2 GB · 사진 148장"),
        QStringLiteral("마지막 캡처 · 오후 2:05 · 3초 전"), QStringLiteral("선택한 항목 5개 · 어제 오후 6:30")};
    for (int i = 0; i < dark.size(); ++i)
        p.drawLine(ScreenPainter::systemFont(12), 14, 168 + i * 34, i % 2 ? QColor(150, 152, 158) : lightText, dark[i]);
    return p.take();
}

// A dark details panel in the system font: Korean names beside mixed values (a file name, its
// size, the tags, the date).
inline Screen mixedDetailsPanel()
{
    ScreenPainter p(QStringLiteral("details panel"), 520, 420, QColor(28, 29, 32));
    p.panel(QRectF(10, 10, 500, 330), QColor(38, 39, 43));
    p.drawLine(ScreenPainter::systemFont(15, true), 30, 28, lightText, QStringLiteral("정보"));
    const QStringList names{QStringLiteral("파일 이름"), QStringLiteral("크기"),      QStringLiteral("해상도"),
                            QStringLiteral("태그"),      QStringLiteral("만든 날짜"), QStringLiteral("위치")};
    const QStringList values{QStringLiteral("Screenshot 2026-12-07 at 14.22.08.png"),
                             QStringLiteral("3.1 MB (3,245,112 바이트)"),
                             QStringLiteral("1920 x 1080"),
                             QStringLiteral("디자인, review, 회의록"),
                             QStringLiteral("2026년 12월 7일 오후 2:22"),
                             QStringLiteral("~/Pictures/Tarnwick/내보낸 파일/회의록_초안.png")};
    for (int i = 0; i < names.size(); ++i) {
        p.drawLine(ScreenPainter::systemFont(13), 30, 74 + i * 42, QColor(150, 152, 158), names[i]);
        p.drawLine(ScreenPainter::systemFont(13), 130, 74 + i * 42, lightText, values[i]);
    }
    return p.take();
}

// A settings window in the system font, light or dark, English or Korean: rows of controls without
// text (switches, check boxes, radio buttons, a slider), a value in a bordered button, two buttons.
inline Screen settingsWindow(bool dark, bool korean)
{
    const QStringList t =
        QString::fromUtf8(
            korean ? "일반|로그인할 때 Tarnwick 실행|메뉴 막대 아이콘 보기|캡처 후 소리 재생|캡처 지연|3초|"
                     "캡처한 뒤|클립보드에 복사|편집기에서 열기|텍스트 자동 인식 · 한국어|이미지 형식|PNG|JPEG|"
                     "JPEG 품질|80%|기본값으로 재설정|완료"
                   : "General|Launch Tarnwick at login|Show the menu bar icon|Play a sound after capture|"
                     "Capture delay|3 seconds|After capture|Copy to clipboard|Open in the editor|"
                     "Recognize text · 2 languages|Image format|PNG|JPEG|JPEG quality|80%|"
                     "Reset to Defaults|Done")
            .split(u'|');
    ScreenPainter p(QLatin1String(dark ? "dark settings" : "light settings") + QLatin1String(korean ? " KO" : ""), 640,
                    560, dark ? QColor(30, 31, 34) : QColor(236, 236, 238));
    const QColor ink = dark ? lightText : darkText, card = dark ? QColor(44, 45, 50) : QColor(Qt::white),
                 off = dark ? QColor(84, 85, 92) : QColor(214, 214, 218), edge = off.darker(120), knob(250, 250, 250);
    p.panel(QRectF(24, 44, 592, 186), card);
    p.panel(QRectF(24, 276, 592, 218), card);
    for (const double y : {90, 136, 182, 396, 446})
        p.shape(QRectF(40, y, 560, 1), 0, off);
    for (int i = 0; i < 3; ++i) { // switches, check boxes: on, off, on
        p.shape(QRectF(562, 57 + i * 46, 38, 22), 11, i == 1 ? off : accentBlue);
        p.shape(QRectF(i == 1 ? 564 : 580, 59 + i * 46, 18, 18), 9, knob, QColor(0, 0, 0, 40));
        p.shape(QRectF(40.5, 289.5 + i * 40, 16, 16), 4, i == 1 ? card : accentBlue, i == 1 ? edge : QColor());
        if (i != 1) {
            QPainter tick(&p.screen_.image);
            tick.setRenderHint(QPainter::Antialiasing);
            tick.setPen(QPen(Qt::white, 2));
            tick.drawPolyline(QPolygonF{{44, 298 + i * 40.0}, {47.5, 301.5 + i * 40.0}, {53, 294 + i * 40.0}});
        }
    }
    p.shape(QRectF(380.5, 411.5, 16, 16), 8, accentBlue); // radio buttons
    p.shape(QRectF(385.5, 416.5, 6, 6), 3, Qt::white);
    p.shape(QRectF(490.5, 411.5, 16, 16), 8, card, edge);
    p.shape(QRectF(200, 470, 340, 4), 2, off); // a slider
    p.shape(QRectF(200, 470, 272, 4), 2, accentBlue);
    p.shape(QRectF(462, 462, 20, 20), 10, knob, QColor(0, 0, 0, 60));
    const QFont font = ScreenPainter::systemFont(13), bold = ScreenPainter::systemFont(13, true);
    const QPointF at[] = {{32, 18},  {40, 58},  {40, 104}, {40, 150},  {40, 196},  {},        {32, 250}, {66, 288},
                          {66, 328}, {66, 368}, {40, 410}, {404, 410}, {514, 410}, {40, 460}, {560, 460}};
    for (int i = 0; i < 15; ++i)
        if (i != 5)
            p.drawLine(i == 0 || i == 6 ? bold : font, at[i].x(), at[i].y(), ink, t[i]);
    const double value = QFontMetricsF(font).horizontalAdvance(t[5]) + 28;
    fontButton(p, font, QRectF(600 - value, 192, value, 24), card, edge, ink, t[5]);
    const double reset = QFontMetricsF(font).horizontalAdvance(t[15]) + 32;
    fontButton(p, font, QRectF(532 - reset, 512, reset, 28), card, edge, ink, t[15]);
    fontButton(p, font, QRectF(536, 512, 80, 28), accentBlue, {}, Qt::white, t[16]);
    return p.take();
}

// Screens full of numbers and signs, as a person copies them: amounts in won, percentages,
// versions, addresses, times of day, counts in small badges, a middle dot set without blanks.

inline const QColor badgeRed(232, 64, 52), quietOnDark(150, 152, 158);

// A count in a badge: white digits on a coloured circle (a pill when they are wider).
inline void badge(ScreenPainter &p, double right, double centreY, const QString &count, QColor fill)
{
    const QFont font = ScreenPainter::systemFont(11, true);
    const QFontMetricsF metrics(font);
    const double width = std::max(20.0, metrics.horizontalAdvance(count) + 12);
    p.shape(QRectF(right - width, centreY - 10, width, 20), 10, fill);
    p.drawLine(font, right - width / 2 - metrics.horizontalAdvance(count) / 2, centreY - metrics.height() / 2,
               Qt::white, count);
}

// A dark file list: each name in 13 px over its size and date in 12 px, one row selected.
inline Screen fileList()
{
    ScreenPainter p(QStringLiteral("file list"), 560, 330, QColor(30, 31, 34));
    const QStringList names{QStringLiteral("tarnwick_v2.4.0.deb"), QStringLiteral("release-notes-v12.0.4.pdf"),
                            QStringLiteral("backup-192.168.0.24.tar.gz"), QStringLiteral("사진·동영상 백업"),
                            QStringLiteral("영수증 스캔 12월.png")};
    const QStringList details{QStringLiteral("12.4 MB · 오늘 오후 3:07"), QStringLiteral("845 KB · 어제 오전 9:41"),
                              QStringLiteral("2.1 GB · 12월 5일 오후 2:48"), QStringLiteral("148개 항목 · 12월 1일"),
                              QStringLiteral("3.2 MB · 11월 28일 오후 6:15")};
    for (int i = 0; i < names.size(); ++i) {
        const double y = 16 + i * 62;
        if (i == 1)
            p.panel(QRectF(8, y - 8, 544, 56), accentBlue);
        p.drawLine(ScreenPainter::systemFont(13), 20, y, lightText, names[i]);
        p.drawLine(ScreenPainter::systemFont(12), 20, y + 22, i == 1 ? lightText : quietOnDark, details[i]);
    }
    return p.take();
}

// A light about panel: the version and build, the libraries' versions, a link.
inline Screen aboutPanel()
{
    ScreenPainter p(QStringLiteral("about panel"), 520, 300, QColor(236, 236, 238));
    p.panel(QRectF(16, 16, 488, 268), Qt::white);
    p.picture(QRectF(40, 40, 56, 56), QColor(70, 130, 230), QColor(20, 40, 120));
    p.drawLine(ScreenPainter::systemFont(18, true), 116, 40, darkText, QStringLiteral("Tarnwick"));
    p.drawLine(ScreenPainter::systemFont(13), 116, 72, darkText, QStringLiteral("버전 v12.0.4 (빌드 3481)"));
    const QFont font = ScreenPainter::systemFont(13);
    p.drawLine(font, 40, 124, quietText, QStringLiteral("Qt 6.4.2 · Tesseract 5.3.0 · x264 0.164"));
    p.drawLine(font, 40, 152, quietText, QStringLiteral("업데이트 서버 10.0.0.12 · 응답 48 ms"));
    p.drawLine(font, 40, 180, darkText, QStringLiteral("최신 버전입니다 (2026년 12월 7일 확인)"));
    fontButton(p, font, QRectF(384, 236, 96, 28), accentBlue, {}, Qt::white, QStringLiteral("확인"));
    return p.take();
}

// A dark chat list: names, the last messages, times of day and unread counts in badges.
inline Screen chatList()
{
    ScreenPainter p(QStringLiteral("chat list"), 520, 420, QColor(28, 29, 32));
    const QStringList names{QStringLiteral("디자인팀"), QStringLiteral("김민지"), QStringLiteral("Project Tarnwick"),
                            QStringLiteral("엄마"), QStringLiteral("택배 알림")};
    const QStringList messages{QStringLiteral("시안 v3 올렸어요 (80% 완료)"), QStringLiteral("내일 10시 회의실 B"),
                               QStringLiteral("Build 2.4.0 passed, 98% coverage"),
                               QStringLiteral("사진·동영상 3개를 보냈습니다"), QStringLiteral("결제 완료 ₩49,000")};
    const QStringList times{QStringLiteral("오후 3:07"), QStringLiteral("오후 2:48"), QStringLiteral("오전 9:41"),
                            QStringLiteral("어제"), QStringLiteral("12월 5일")};
    const QStringList counts{QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("12"), QString(),
                             QStringLiteral("2")};
    const QFont name = ScreenPainter::systemFont(14, true), text = ScreenPainter::systemFont(13),
                small = ScreenPainter::systemFont(12);
    for (int i = 0; i < names.size(); ++i) {
        const double y = 16 + i * 80;
        if (i == 2)
            p.panel(QRectF(6, y - 8, 508, 72), QColor(52, 53, 60));
        p.drawLine(name, 20, y + 2, lightText, names[i]);
        p.drawLine(text, 20, y + 28, quietOnDark, messages[i]);
        p.drawLine(small, 500 - QFontMetricsF(small).horizontalAdvance(times[i]), y + 4, quietOnDark, times[i]);
        if (!counts[i].isEmpty())
            badge(p, 500, y + 38, counts[i], i == 2 ? accentBlue : badgeRed);
    }
    return p.take();
}

// Status bars in 12 px, a light one and a dark one: an address, charge, sizes, load, progress, a
// zoom.
inline Screen statusBars()
{
    ScreenPainter p(QStringLiteral("status bars"), 560, 250, QColor(242, 242, 245));
    const QFont font = ScreenPainter::systemFont(12);
    const QStringList light{QStringLiteral("Wi-Fi 연결됨 · 192.168.0.24"),
                            QStringLiteral("배터리 80% · 문서 파일 2.8 MB"),
                            QStringLiteral("CPU 23.5% · 메모리 3.2 GB / 16 GB")};
    for (int i = 0; i < light.size(); ++i)
        p.drawLine(font, 14, 12 + i * 34, i % 2 ? quietText : darkText, light[i]);
    p.panel(QRectF(-10, 116, 580, 150), QColor(36, 37, 41));
    const QStringList dark{QStringLiteral("다운로드 2% · 남은 시간 4분"),
                           QStringLiteral("보기 배율 (150%) · 1920 x 1080"),
                           QStringLiteral("게이트웨이 172.16.254.1 · 오후 3:07")};
    for (int i = 0; i < dark.size(); ++i)
        p.drawLine(font, 14, 134 + i * 34, i % 2 ? quietOnDark : lightText, dark[i]);
    return p.take();
}

// A light order with prices in won, a discount in per cent and the points earned.
inline Screen orderWithPrices()
{
    ScreenPainter p(QStringLiteral("order with prices"), 480, 400, QColor(244, 244, 246));
    p.panel(QRectF(16, 16, 448, 368), Qt::white);
    const QFont font = ScreenPainter::systemFont(14), bold = ScreenPainter::systemFont(14, true);
    p.drawLine(ScreenPainter::systemFont(16, true), 40, 36, darkText, QStringLiteral("주문 내역"));
    const QStringList items{QStringLiteral("아메리카노 x 2"),
                            QStringLiteral("카페라떼"),
                            QStringLiteral("치즈케이크"),
                            QStringLiteral("소계"),
                            QStringLiteral("할인 (10%)"),
                            QStringLiteral("배송비"),
                            QStringLiteral("합계")};
    const QStringList prices{QStringLiteral("₩9,000"),  QStringLiteral("₩5,500"),  QStringLiteral("₩12,900"),
                             QStringLiteral("₩27,400"), QStringLiteral("-₩2,740"), QStringLiteral("₩3,000"),
                             QStringLiteral("₩27,660")};
    for (int i = 0; i < items.size(); ++i) {
        const double y = 80 + i * 36 + (i >= 3 ? 12 : 0) + (i == 6 ? 12 : 0);
        const QFont &f = i == 6 ? bold : font;
        p.drawLine(f, 40, y, i == 4 ? badgeRed : darkText, items[i]);
        p.drawLine(f, 440 - QFontMetricsF(f).horizontalAdvance(prices[i]), y, i == 4 ? badgeRed : darkText, prices[i]);
    }
    p.shape(QRectF(40, 184, 400, 1), 0, QColor(220, 220, 224));
    p.drawLine(ScreenPainter::systemFont(12), 40, 348, quietText,
               QStringLiteral("적립 2% · 553원 (₩34,500 이상 무료 배송)"));
    return p.take();
}

// English dialogs: an update offer with versions and sizes, a printing progress, a connection.
inline Screen englishDialogs()
{
    ScreenPainter p(QStringLiteral("English dialogs"), 600, 330, QColor(236, 236, 238));
    p.panel(QRectF(16, 16, 568, 170), QColor(252, 252, 253));
    p.drawLine(ScreenPainter::systemFont(15, true), 40, 32, darkText, QStringLiteral("Software Update"));
    const QFont font = ScreenPainter::systemFont(13);
    p.drawLine(font, 40, 62, darkText, QStringLiteral("Tarnwick v12.0.4 is available. You have v12.0.2."));
    p.drawLine(font, 40, 86, darkText, QStringLiteral("Download size: 48.6 MB (23.5% smaller than v11.8.1)"));
    fontButton(p, font, QRectF(360, 136, 96, 30), QColor(222, 222, 226), {}, darkText, QStringLiteral("Later"));
    fontButton(p, font, QRectF(464, 136, 104, 30), accentBlue, {}, Qt::white, QStringLiteral("Install Now"));
    p.panel(QRectF(16, 200, 568, 114), QColor(252, 252, 253));
    p.drawLine(font, 40, 214, darkText, QStringLiteral("Printing page 3 of 12 (25%)"));
    p.drawLine(font, 40, 240, darkText, QStringLiteral("Connected to 10.0.0.12 port 8443 at 9:41 AM"));
    p.drawLine(font, 40, 266, quietText, QStringLiteral("Paper: A4, 2 copies, 100% scale"));
    return p.take();
}

// 11 px text on a dark panel: the smallest size interfaces set numbers in.
inline Screen smallNumbers()
{
    ScreenPainter p(QStringLiteral("11 px numbers"), 420, 230, QColor(36, 37, 40));
    const QStringList lines{QStringLiteral("v2.4.0 · 빌드 3481"),     QStringLiteral("₩25,800 · 2개 · 무료 배송"),
                            QStringLiteral("배터리 80% · 오후 3:07"), QStringLiteral("192.168.0.24 연결됨"),
                            QStringLiteral("사진·동영상 148장"),      QStringLiteral("23.5% 완료 · 12.4 MB")};
    for (int i = 0; i < lines.size(); ++i)
        p.drawLine(ScreenPainter::systemFont(11), 16, 14 + i * 34, i % 2 ? quietOnDark : lightText, lines[i]);
    return p.take();
}

// Quick settings: dark tiles with a name and a value each, sliders with their per cent.
inline Screen quickSettings()
{
    ScreenPainter p(QStringLiteral("quick settings"), 560, 330, QColor(22, 23, 26));
    p.drawLine(ScreenPainter::systemFont(13, true), 20, 14, lightText, QStringLiteral("오전 9:41"));
    p.drawLine(ScreenPainter::systemFont(13), 440, 14, lightText, QStringLiteral("배터리 92%"));
    const QStringList names{QStringLiteral("Wi-Fi"), QStringLiteral("블루투스"), QStringLiteral("네트워크"),
                            QStringLiteral("화면 녹화")};
    const QStringList values{QStringLiteral("Home_5G"), QStringLiteral("켜짐 · 2대"), QStringLiteral("10.0.0.7"),
                             QStringLiteral("00:04:17")};
    for (int i = 0; i < names.size(); ++i) {
        const QRectF tile(16 + (i % 2) * 268, 50 + (i / 2) * 80, 260, 68);
        p.shape(tile, 14, i == 0 ? accentBlue : QColor(52, 53, 60));
        p.drawLine(ScreenPainter::systemFont(14, true), tile.x() + 18, tile.y() + 12, lightText, names[i]);
        p.drawLine(ScreenPainter::systemFont(12), tile.x() + 18, tile.y() + 38, i == 0 ? lightText : quietOnDark,
                   values[i]);
    }
    const QStringList sliders{QStringLiteral("밝기"), QStringLiteral("음량")};
    const QStringList levels{QStringLiteral("80%"), QStringLiteral("45%")};
    for (int i = 0; i < 2; ++i) {
        const double y = 230 + i * 44;
        p.drawLine(ScreenPainter::systemFont(13), 20, y, lightText, sliders[i]);
        p.shape(QRectF(90, y + 8, 360, 4), 2, QColor(70, 71, 78));
        p.shape(QRectF(90, y + 8, i ? 162 : 288, 4), 2, accentBlue);
        p.drawLine(ScreenPainter::systemFont(13), 480, y, lightText, levels[i]);
    }
    return p.take();
}

// Right text that looks like what the number rules correct: words before a time that are no 오전
// or 오후 (opening hours, log levels), signs before digits that are no won sign, a capital W, a
// name with a w, amounts in dollars and yen, units in small letters, asterisks, decimal sizes, and
// round avatars holding a syllable beside count badges; the first lines in `pixelSize`, dark on
// light or light on dark.
inline Screen lookAlikes(int pixelSize, bool dark)
{
    ScreenPainter p(QStringLiteral("look-alikes %1 px%2").arg(pixelSize).arg(QLatin1String(dark ? " dark" : "")), 560,
                    470, QColor(244, 244, 246));
    p.panel(QRectF(-10, dark ? -10 : 222, 580, dark ? 332 : 100), QColor(30, 31, 34));
    const QStringList lines =
        QString::fromUtf8("매장 안내 · 오픈 10:00 · 마감 22:00|센서 #3 정상 · 주문 #4821 접수|"
                          "충전 7.4 kW (max 11 kW) · 출력 650 W|Wi-Fi 연결됨 (wlp2s0) · 2.8 MB 받음|"
                          "Total $69.99 (about ¥996) · 2 cups · 12 ms|* 표시한 항목은 필수입니다 · 크기 10*20 cm|"
                          "항목 5개 · 12월 3일 오후 4:15 · 할인 (0.5%).|오류 14:05 디스크 공간이 부족합니다|"
                          "경고 14:06 재시도 3회|정보 08:57 동기화 완료")
            .split(u'|');
    for (int i = 0; i < lines.size(); ++i)
        p.drawLine(ScreenPainter::systemFont(i < 7 ? pixelSize : 12), 16, i < 7 ? 12 + i * 30 : 38 + i * 28,
                   dark || i >= 7 ? lightText : (i % 2 ? quietText : darkText), lines[i]);
    const QFont initial = ScreenPainter::systemFont(17, true), small = ScreenPainter::systemFont(12);
    for (int i = 0; i < 2; ++i) {
        const double y = 340 + i * 60;
        const QString name = QString::fromUtf8(i ? "디자인팀" : "개발팀"), avatar = name.left(1);
        p.shape(QRectF(16, y, 40, 40), 20, i ? accentBlue : QColor(40, 150, 120));
        p.drawLine(initial, 36 - QFontMetricsF(initial).horizontalAdvance(avatar) / 2,
                   y + 20 - QFontMetricsF(initial).height() / 2, Qt::white, avatar);
        p.drawLine(ScreenPainter::systemFont(14, true), 68, y + 2, darkText, name);
        p.drawLine(small, 500, y + 2, quietText, QString::fromUtf8(i ? "방금" : "어제"));
        badge(p, 540, y + 32, QString::number(i ? 12 : 3), badgeRed);
    }
    return p.take();
}

// Cards of devices, each marked by a thin coloured stripe at its left edge, the time of its last
// state right beside it, and its rates and sizes; light, or dark with other devices in light text.
inline Screen deviceCards(bool dark)
{
    ScreenPainter p(QStringLiteral("device cards%1").arg(QLatin1String(dark ? " dark" : "")), 660, 300,
                    dark ? QColor(22, 23, 26) : QColor(240, 241, 244));
    const QStringList lines = QString::fromUtf8(dark ? "게임용 PC|오후 10:15 연결|Core i5-12400 (12코어)|"
                                                       "휴대폰|오전 8:20 충전 중|배터리 37% · 20% 할인|"
                                                       "서버실 NAS|오후 2:31 백업 완료|팬 2196 RPM · 44.2 MB|"
                                                       "태블릿|오전 6:05 연결 끊김|저장 공간 81% · 9.6 GB|"
                                                       "거실 TV|오후 9:48 시청 중|음량 25% · 0.4 Mbps|"
                                                       "프린터|오전 7:00 대기|토너 15% · 용지 200장"
                                                     : "거실 공유기|오전 3:00 재시작|기기 12대 · 2.4 GHz|"
                                                       "작업용 PC|오후 7:00 켜짐|Core i3-10100 (4코어)|"
                                                       "서버실 NAS|오후 2:31 백업 완료|팬 2196 RPM · 44.2 MB|"
                                                       "회의실 노트북|오전 11:45 절전|배터리 37% · 절전 모드|"
                                                       "현관 카메라|오후 4:08 움직임|영상 0.4 Mbps · 30 fps|"
                                                       "안방 에어컨|오전 9:30 예약|24.5도 · 습도 40%")
                                  .split(u'|');
    const QColor stripes[] = {QColor(52, 168, 83), accentBlue, QColor(245, 150, 30), badgeRed};
    const QColor text = dark ? lightText : darkText, quiet = dark ? quietOnDark : quietText;
    for (int i = 0; i < 6; ++i) {
        const QRectF card(16 + (i % 2) * 320, 16 + (i / 2) * 92, 308, 82);
        p.shape(card, 6, dark ? QColor(44, 45, 50) : Qt::white);
        p.shape(QRectF(card.x(), card.y(), 4, card.height()), 0, stripes[i % 4]);
        for (int k = 0; k < 3; ++k)
            p.drawLine(ScreenPainter::systemFont(k ? 12 : 13, !k), card.x() + 12, card.y() + 8 + k * 24,
                       k == 2 ? quiet : text, lines[i * 3 + k]);
    }
    return p.take();
}

// A light table of backup tasks in 14 px: when each began and runs next, and its size.
inline Screen backupSchedule()
{
    ScreenPainter p(QStringLiteral("backup schedule"), 560, 200, Qt::white);
    const QStringList cells =
        QString::fromUtf8("작업|시작|다음 실행|크기|사진 백업|오전 3:00|오전 4:45|2.4 GB|"
                          "문서 동기화|오후 2:31|오전 9:15|44.2 MB|로그 정리|오후 11:20|오후 7:00|0.4 GB")
            .split(u'|');
    for (int i = 0; i < cells.size(); ++i)
        p.drawLine(ScreenPainter::systemFont(14, i < 4), QList<double>{20, 160, 280, 420}[i % 4], 20 + i / 4 * 40,
                   i < 4 ? quietText : darkText, cells[i]);
    return p.take();
}

// A dark terminal set in `pixelSize` in a Korean coding font, whose letters stand apart: a listing
// of files with the dates in Korean, under a title in the interface font.
inline Screen codingTerminal(int pixelSize)
{
    TestSupport::requireInstalled(QStringLiteral("NanumGothicCoding"));
    ScreenPainter p(QStringLiteral("coding terminal %1 px").arg(pixelSize), 600, 220, QColor(24, 24, 26));
    p.panel(QRectF(-10, -10, 620, 40), QColor(44, 45, 50));
    p.drawLine(ScreenPainter::systemFont(13), 20, 6, lightText, QStringLiteral("터미널 - 문서"));
    QFont coding;
    coding.setFamilies({QStringLiteral("NanumGothicCoding")});
    coding.setPixelSize(pixelSize);
    const QStringList lines = QString::fromUtf8("-rw-r--r-- 1 user user  4821  6월 14 09:12 notes.txt|"
                                                "-rw-r--r-- 1 user user 44213 12월 28 23:05 report.pdf|"
                                                "drwxr-xr-x 2 user user  4096  3월 24 18:40 backup|"
                                                "-rw-r--r-- 1 user user  2048  8월 21 14:15 data.csv|"
                                                "-rw-r--r-- 1 user user  1536  6월 30 17:45 memo.txt")
                                  .split(u'|');
    for (int i = 0; i < lines.size(); ++i)
        p.drawLine(coding, 14, 44 + i * 32, QColor(214, 214, 218), lines[i]);
    return p.take();
}

// A screen made by `make` with its interface text in `family` (as made without it when empty);
// throws when that family is not installed.
template <typename Make> Screen drawnIn(const QString &family, Make make)
{
    if (!family.isEmpty())
        TestSupport::requireInstalled(family);
    ScreenPainter::family() = family;
    Screen screen = make();
    ScreenPainter::family().clear();
    return screen;
}

// The generated test set: plain lines in both languages and both polarities, a whole 4K
// screen, and the interface situations above; drawn in `family` when one is given.
inline std::vector<Screen> testSet(const QString &family = {})
{
    std::vector<Screen> set;
    for (auto make : {englishUi, koreanUi, mixedLines, whiteOnDark, smallUiText, fullScreen4k, menuWithHighlight,
                      dialogWithButtons, notificationWithButtons, photoList, outlinedButtons, envFile, shortcutList,
                      largeHeadings, markedUpHeadings, koreanDialogWithPath, koreanStatusLines, mixedDetailsPanel})
        set.push_back(drawnIn(family, make));
    for (const bool dark : {false, true})
        for (const bool korean : {false, true})
            set.push_back(drawnIn(family, [&] { return settingsWindow(dark, korean); }));
    return set;
}

// The screens with numbers and signs, drawn in `family`; the coding terminal in small to middling
// sizes.
inline std::vector<Screen> numberSet(const QString &family = {})
{
    std::vector<Screen> set;
    for (auto make : {fileList, aboutPanel, chatList, statusBars, orderWithPrices, englishDialogs, smallNumbers,
                      quickSettings, backupSchedule})
        set.push_back(drawnIn(family, make));
    for (const bool dark : {false, true})
        set.push_back(drawnIn(family, [dark] { return deviceCards(dark); }));
    for (const int pixelSize : {13, 15, 16})
        set.push_back(drawnIn(family, [&] { return codingTerminal(pixelSize); }));
    return set;
}

// The screens of right text that looks like what the number rules correct, drawn in `family`: in
// 13 px to 15 px dark on light, and in 12 px and 15 px light on dark.
inline std::vector<Screen> lookAlikeSet(const QString &family = {})
{
    return {drawnIn(family, [] { return lookAlikes(13, false); }),
            drawnIn(family, [] { return lookAlikes(14, false); }),
            drawnIn(family, [] { return lookAlikes(15, false); }), drawnIn(family, [] { return lookAlikes(12, true); }),
            drawnIn(family, [] { return lookAlikes(15, true); })};
}

// The known lines in reading order, by the same rule the recognizer uses on their ink.
inline QStringList expectedLines(const Screen &screen)
{
    std::vector<TextRegion> regions;
    const double width = screen.image.width(), height = screen.image.height();
    for (const auto &line : screen.lines)
        regions.push_back({Uuid(), line.text.toStdString(),
                           UnitRect(line.ink.x() / width, line.ink.y() / height, line.ink.width() / width,
                                    line.ink.height() / height),
                           1});
    sortIntoReadingOrder(regions);
    QStringList lines;
    for (const auto &region : regions)
        lines << QString::fromStdString(region.text);
    return lines;
}

// Lines with blanks collapsed and trimmed, blank lines left out, joined by line feeds.
inline std::u32string normalized(const QStringList &lines)
{
    QStringList kept;
    for (const auto &line : lines)
        if (const QString simple = line.simplified(); !simple.isEmpty())
            kept << simple;
    const auto ucs4 = kept.join(u'\n').toUcs4();
    return {ucs4.begin(), ucs4.end()};
}

inline size_t editDistance(const std::u32string &a, const std::u32string &b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Edits from the known text to the recognized text, and the known characters; sums of them
// over several screens give the pooled error rate of a set.
struct ErrorTally {
    size_t edits = 0, characters = 0;

    double rate() const { return characters ? double(edits) / characters : (edits ? 1.0 : 0.0); }
    ErrorTally &operator+=(const ErrorTally &other)
    {
        edits += other.edits;
        characters += other.characters;
        return *this;
    }
};

inline ErrorTally errors(const QStringList &expected, const QStringList &recognized)
{
    const std::u32string truth = normalized(expected), read = normalized(recognized);
    return {editDistance(truth, read), truth.size()};
}

inline ErrorTally errors(const Screen &screen, const RecognitionResult &result)
{
    return errors(expectedLines(screen), QString::fromStdString(result.text()).split(u'\n'));
}

// The numbers of a text as a person copies them: digits with the colons, full stops and commas
// between them, a won sign before them, a per cent sign after them, and the "v" that begins a
// version.
inline QStringList numbersOf(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("(?:₩|(?<![A-Za-z])v)?\\d+(?:[.,:]\\d+)*%?"));
    QStringList numbers;
    for (auto match = number.globalMatch(text); match.hasNext();)
        numbers << match.next().captured();
    return numbers;
}

// The known numbers that the reading does not hold as they are (each reading's number matches one
// known number at most), and the won and per cent signs of the known text and of the reading.
struct NumberTally {
    size_t changed = 0, numbers = 0, signs = 0, signsRead = 0;
    QStringList lost = {}; // the known numbers changed

    double rate() const { return numbers ? double(changed) / numbers : 0.0; }
    NumberTally &operator+=(const NumberTally &other)
    {
        changed += other.changed;
        numbers += other.numbers;
        signs += other.signs;
        signsRead += other.signsRead;
        lost += other.lost;
        return *this;
    }
};

inline NumberTally numberChanges(const QString &truth, const QString &read)
{
    const QStringList known = numbersOf(truth);
    QStringList found = numbersOf(read);
    NumberTally tally{0, size_t(known.size()), 0, 0};
    for (const QString &number : known)
        if (!found.removeOne(number)) {
            ++tally.changed;
            tally.lost << number;
        }
    const auto signs = [](const QString &text) { return size_t(text.count(u'₩') + text.count(u'%')); };
    tally.signs = signs(truth);
    tally.signsRead = signs(read);
    return tally;
}

inline NumberTally numberChanges(const Screen &screen, const RecognitionResult &result)
{
    return numberChanges(expectedLines(screen).join(u'\n'), QString::fromStdString(result.text()));
}

// Character error rate: edits from the known text to the recognized text per known character.
inline double characterErrorRate(const Screen &screen, const RecognitionResult &result)
{
    return errors(screen, result).rate();
}

} // namespace tarn::OcrScreens
