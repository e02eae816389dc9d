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
#include <QPainter>
#include <QString>
#include <QStringList>

#include "core/text/ReadingOrder.h"
#include "core/text/RecognitionResult.h"

namespace tarn::ocrscreens {

struct Line {
    QString text;
    QRectF box;
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

    void panel(const QRectF &rect, QColor fill)
    {
        QPainter painter(&screen_.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(rect, 10, 10);
    }

    // One line with its top-left corner at (x, y); gives the y below the line.
    double text(double x, double y, int pixelSize, QColor color, const QString &text, bool bold = false)
    {
        QFont font;
        font.setFamilies({QStringLiteral("Noto Sans CJK KR")});
        font.setPixelSize(pixelSize);
        font.setWeight(bold ? QFont::DemiBold : QFont::Normal);
        const QFontMetricsF metrics(font);
        QPainter painter(&screen_.image);
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(QPointF(x, y + metrics.ascent()), text);
        screen_.lines.push_back({text, QRectF(x, y, metrics.horizontalAdvance(text), metrics.height())});
        return y + metrics.height();
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

private:
    Screen screen_;
};

inline const QColor darkText(28, 28, 30), lightText(228, 228, 231);

inline Screen englishUi()
{
    ScreenPainter p(QStringLiteral("English UI"), 860, 280, QColor(245, 245, 247));
    p.column(36, 22, 40, 20, darkText,
             {"Save changes before closing?", "Your edits will be lost if you don't save them.",
              "Export as PNG or JPEG", "Recent captures (24 items)", "Keyboard shortcut: Ctrl+Shift+4",
              "Library folder: /home/user/Pictures/Tarnwick"});
    return p.take();
}

inline Screen koreanUi()
{
    ScreenPainter p(QStringLiteral("Korean UI"), 860, 280, QColor(250, 250, 250));
    p.column(36, 22, 40, 20, darkText,
             {"캡처를 취소했습니다.", "라이브러리 인덱스를 읽지 못했습니다.", "최근 캡처 항목을 불러오는 중입니다",
              "즐겨찾기에 추가", "휴지통으로 이동", "환경설정에서 단축키를 바꿀 수 있습니다"});
    return p.take();
}

inline Screen mixedLines()
{
    ScreenPainter p(QStringLiteral("mixed lines"), 860, 280, QColor(248, 248, 248));
    p.column(36, 22, 40, 20, darkText,
             {"PNG 파일로 내보내기", "Tarnwick 라이브러리 열기", "단축키: Ctrl+Shift+2",
              "이메일 hong@example.com 으로 보내기", "해상도 3840 x 2160 화면", "OCR 결과를 클립보드에 복사"});
    return p.take();
}

inline Screen whiteOnDark()
{
    ScreenPainter p(QStringLiteral("white on dark"), 860, 280, QColor(30, 31, 34));
    p.column(36, 22, 40, 20, lightText,
             {"라이브러리", "Recent captures", "즐겨찾기 12개", "Trash is empty", "화면 녹화를 시작합니다",
              "Recording saved to Recordings"});
    return p.take();
}

inline Screen smallUiText()
{
    ScreenPainter p(QStringLiteral("small 11-13 px"), 640, 230, QColor(36, 37, 40));
    const QStringList lines{"File  Edit  View  Capture  Window  Help",
                            "캡처 영역을 선택하세요",
                            "Copied to clipboard",
                            "텍스트 인식이 끝났습니다",
                            "Size 1920 x 1080, 2.4 MB",
                            "내보내기 형식: PNG"};
    const int sizes[] = {11, 12, 13, 12, 11, 13};
    double y = 14;
    for (int i = 0; i < lines.size(); ++i) {
        p.text(16, y, sizes[i], QColor(220, 220, 222), lines[i]);
        y += sizes[i] * 1.45 + 12;
    }
    return p.take();
}

// A whole 4K screen: title bar, sidebar, a list column beside a details panel, a light card.
inline Screen fullScreen4k()
{
    ScreenPainter p(QStringLiteral("3840x2160 screen"), 3840, 2160, QColor(24, 25, 28));
    p.panel(QRectF(-20, -20, 3880, 92), QColor(40, 41, 45));
    p.text(40, 18, 26, lightText, "Tarnwick - Capture Studio", true);
    p.panel(QRectF(24, 96, 560, 2040), QColor(34, 35, 39));
    p.column(64, 140, 88, 28, lightText, {"라이브러리", "모든 캡처", "즐겨찾기", "최근 항목", "동영상", "휴지통"});
    p.column(660, 140, 96, 28, lightText,
             {"Recent captures", "Screenshot 2026-12-07 at 09.41.12", "캡처한 화면에서 텍스트를 찾았습니다",
              "Export as PNG or JPEG", "라이브러리 인덱스를 저장했습니다", "Size 3840 x 2160, 4.8 MB"});
    p.panel(QRectF(2200, 96, 1600, 900), QColor(44, 45, 50));
    p.column(2260, 150, 120, 28, lightText,
             {"Details", "생성한 날짜: 2026년 12월 7일", "Kind: image", "태그: 회의, 디자인", "Text regions: 14",
              "신뢰도 평균 0.93"});
    p.panel(QRectF(660, 1300, 2400, 700), QColor(238, 238, 240));
    p.column(720, 1350, 120, 30, darkText,
             {"Settings", "캡처 후 자동으로 텍스트를 인식합니다", "Show the capture in the library after saving",
              "화면 녹화에 마이크 소리를 포함합니다", "Hide the pointer while recording"});
    return p.take();
}

// A 1600x1000 application window: sidebar, list and a dialog.
inline Screen desktop1600()
{
    ScreenPainter p(QStringLiteral("1600x1000 window"), 1600, 1000, QColor(28, 29, 32));
    p.panel(QRectF(-20, -20, 1640, 64), QColor(40, 41, 45));
    p.text(20, 10, 15, lightText, "Tarnwick - Capture Studio", true);
    p.panel(QRectF(12, 56, 280, 930), QColor(34, 35, 39));
    p.column(32, 80, 44, 16, lightText, {"라이브러리", "모든 캡처", "즐겨찾기", "최근 항목", "동영상", "휴지통"});
    p.column(330, 80, 48, 16, lightText,
             {"Recent captures", "Screenshot 2026-12-07 at 09.41.12", "캡처한 화면에서 텍스트를 찾았습니다",
              "Export as PNG or JPEG", "라이브러리 인덱스를 저장했습니다", "Size 1600 x 1000, 1.2 MB",
              "회의록 초안 - 디자인 검토", "Meeting notes, December 7"});
    p.panel(QRectF(900, 500, 640, 300), QColor(236, 236, 238));
    p.column(930, 530, 44, 16, darkText,
             {"변경 사항을 저장하시겠습니까?", "Your edits will be lost if you don't save them.", "저장하지 않음",
              "Cancel", "Save"});
    return p.take();
}

// A busy 4K desktop: an editor window with a long document beside a chat window and a dark
// file list, about a hundred lines in all.
inline Screen busyScreen4k()
{
    ScreenPainter p(QStringLiteral("busy 3840x2160"), 3840, 2160, QColor(46, 52, 64));
    const QStringList english{"The capture was saved to the library at 09:41.",
                              "Recognized text is searchable from the library window.",
                              "Export the edited image as PNG or JPEG from the File menu.",
                              "Press Ctrl+Shift+2 to capture a region of the screen.",
                              "Recording stopped after 12 minutes and 4 seconds.",
                              "Blur hides names and numbers before you share a capture."};
    const QStringList korean{"캡처가 라이브러리에 저장되었습니다.",
                             "인식된 텍스트는 라이브러리에서 검색할 수 있습니다.",
                             "파일 메뉴에서 편집한 이미지를 내보낼 수 있습니다.",
                             "화면 영역을 캡처하려면 단축키를 누르세요.",
                             "녹화가 12분 4초 후에 끝났습니다.",
                             "공유하기 전에 이름과 번호를 흐리게 가리세요."};
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

// The known lines in reading order, by the same rule the recognizer uses.
inline QStringList expectedLines(const Screen &screen)
{
    std::vector<TextRegion> regions;
    const double width = screen.image.width(), height = screen.image.height();
    for (const auto &line : screen.lines)
        regions.push_back({Uuid(), line.text.toStdString(),
                           UnitRect(line.box.x() / width, line.box.y() / height, line.box.width() / width,
                                    line.box.height() / height),
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
    const auto ucs4 = kept.join('\n').toUcs4();
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

// Character error rate: edits from the known text to the recognized text per known character.
inline double characterErrorRate(const QStringList &expected, const QStringList &recognized)
{
    const std::u32string truth = normalized(expected), read = normalized(recognized);
    return truth.empty() ? (read.empty() ? 0.0 : 1.0) : double(editDistance(truth, read)) / truth.size();
}

inline double characterErrorRate(const Screen &screen, const RecognitionResult &result)
{
    return characterErrorRate(expectedLines(screen), QString::fromStdString(result.text()).split('\n'));
}

} // namespace tarn::ocrscreens
