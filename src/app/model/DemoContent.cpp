// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/model/DemoContent.h"

#include <functional>

#include <QColorSpace>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "core/base/ImageFailure.h"

namespace tarn::DemoContent {

namespace {

// Families pinned to the packaged Noto CJK fonts so that every machine draws the same pixels.
const QString sansFamily = QStringLiteral("Noto Sans CJK KR");
const QString serifFamily = QStringLiteral("Noto Serif CJK KR");
const QString monoFamily = QStringLiteral("Noto Sans Mono CJK KR");

enum class Face { sans, serif, mono };

QColor rgb(unsigned value) { return QColor::fromRgb(QRgb(0xFF000000u | value)); }
QColor rgba(unsigned value, double opacity)
{
    QColor color = rgb(value);
    color.setAlphaF(float(opacity));
    return color;
}

QFont font(int size, QFont::Weight weight, Face face)
{
    QFont font(face == Face::serif ? serifFamily : face == Face::mono ? monoFamily : sansFamily);
    font.setPixelSize(size);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void fill(QPainter &painter, const QRectF &rect, unsigned color) { painter.fillRect(rect, rgb(color)); }

void roundedRect(QPainter &painter, const QRectF &rect, qreal radius, const QColor &color)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, color);
}

// A linear gradient from the rectangle's top-left to its bottom-right corner, colours evenly
// spaced, drawn only inside `clip` (the rectangle itself unless given).
void gradient(QPainter &painter, const QRectF &rect, std::initializer_list<unsigned> colors,
              const QPainterPath *clip = nullptr)
{
    QLinearGradient shading(rect.topLeft(), rect.bottomRight());
    const qsizetype count = qsizetype(colors.size());
    qsizetype index = 0;
    for (unsigned color : colors)
        shading.setColorAt(count > 1 ? double(index++) / double(count - 1) : 0, rgb(color));
    painter.save();
    if (clip)
        painter.setClipPath(*clip);
    else
        painter.setClipRect(rect);
    painter.fillRect(rect, shading);
    painter.restore();
}

// Text with its top-left corner at `at`; "\n" starts a new line. The first baseline sits
// 0.95 of the size below the top and lines follow each other at 1.2 times the size.
void text(QPainter &painter, const QString &content, QPointF at, int size, QFont::Weight weight, const QColor &color,
          Face face = Face::sans)
{
    painter.save();
    painter.setFont(font(size, weight, face));
    painter.setPen(color);
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(at.x(), at.y() + size * 0.95 + i * size * 1.2), lines[i]);
    painter.restore();
}

void sampleLabel(QPainter &painter, unsigned color)
{
    text(painter, QStringLiteral("SAMPLE / ILLUSTRATIVE CONTENT"), {1160, 960}, 14, QFont::Medium, rgb(color),
         Face::mono);
}

QImage bitmap(int width, int height)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull())
        throw ImageFailure::tooLarge();
    image.setColorSpace(QColorSpace::SRgb);
    return image;
}

QImage canvas(unsigned background, const std::function<void(QPainter &)> &draw)
{
    QImage image = bitmap(sampleWidth, sampleHeight);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    fill(painter, image.rect(), background);
    draw(painter);
    return image;
}

void landing(QPainter &p)
{
    const QColor ink = rgb(0x283B2B);
    text(p, QStringLiteral("orbit"), {100, 65}, 42, QFont::Bold, ink);
    text(p, QStringLiteral("OUR STORY      WORK      JOURNAL"), {865, 85}, 18, QFont::Medium, ink);
    roundedRect(p, {1340, 61, 168, 57}, 28, rgb(0xD3DBC7));
    text(p, QStringLiteral("Let's talk ↗"), {1370, 79}, 18, QFont::Medium, ink);
    text(p, QStringLiteral("SPACES FOR WHAT'S NEXT"), {105, 242}, 18, QFont::DemiBold, rgb(0x5B6E56));
    text(p, QStringLiteral("Make space\nfor good work."), {100, 300}, 112, QFont::Medium, ink, Face::serif);
    text(p, QStringLiteral("A little intention. A whole new perspective.\nThoughtful design for a world in motion."),
         {105, 622}, 26, QFont::Normal, rgb(0x4A5A48));
    roundedRect(p, {105, 755, 250, 70}, 35, rgb(0x334F3A));
    text(p, QStringLiteral("Explore our work  ↗"), {145, 778}, 21, QFont::Medium, rgb(0xEEF2E6));
    const QRectF disc(875, 230, 610, 610);
    QPainterPath circle;
    circle.addEllipse(disc);
    gradient(p, disc, {0xB9C8A9, 0x608C6A, 0x173E34}, &circle);
    p.save();
    p.setPen(QPen(rgba(0xD9E6C5, 0.4), 3));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i)
        p.drawEllipse(QRectF(790 + 48 * i, 70 + 60 * i, 670, 740));
    p.restore();
    text(p, QStringLiteral("01 / A DIFFERENT POINT OF VIEW"), {958, 880}, 16, QFont::Normal, ink);
}

void dashboard(QPainter &p)
{
    const QColor bright = rgb(0xEEF3F1);
    const QColor dim = rgb(0x7D9099);
    fill(p, {0, 0, 265, 1000}, 0x0C151D);
    text(p, QStringLiteral("focus /"), {50, 53}, 40, QFont::Bold, bright);
    const QStringList entries{QStringLiteral("Overview"), QStringLiteral("Projects"), QStringLiteral("Activity"),
                              QStringLiteral("Team"), QStringLiteral("Settings")};
    roundedRect(p, {28, 178, 209, 57}, 12, rgb(0x1C2E38));
    for (int i = 0; i < entries.size(); ++i)
        text(p, entries[i], {59, 190.0 + 90 * i}, 22, QFont::DemiBold, i == 0 ? rgb(0xCEFAA0) : dim);
    text(p, QStringLiteral("WORKSPACE / PERSONAL"), {332, 63}, 16, QFont::Medium, rgb(0x6A8B7B));
    text(p, QStringLiteral("A good week, in focus."), {326, 106}, 51, QFont::DemiBold, bright);
    const QStringList labels{QStringLiteral("COMPLETED"), QStringLiteral("IN PROGRESS"), QStringLiteral("FOCUS HOURS")};
    const QStringList values{QStringLiteral("24"), QStringLiteral("08"), QStringLiteral("36.5")};
    for (int i = 0; i < 3; ++i) {
        const double x = 329 + 403 * i;
        roundedRect(p, {x, 218, 375, 178}, 18, rgb(0x172530));
        text(p, labels[i], {x + 27, 244}, 15, QFont::DemiBold, rgb(0x6A8B7B));
        text(p, values[i], {x + 25, 290}, 52, QFont::DemiBold, bright);
        text(p, QStringLiteral("sample data"), {x + 225, 341}, 15, QFont::Normal, dim);
    }
    roundedRect(p, {329, 437, 1180, 454}, 18, rgb(0x16232D));
    text(p, QStringLiteral("Weekly rhythm"), {365, 471}, 27, QFont::Medium, bright);
    text(p, QStringLiteral("A little progress, every day."), {365, 514}, 18, QFont::Normal, dim);
    const int heights[] = {130, 195, 165, 253, 212, 174, 115};
    const QStringList days{QStringLiteral("M"), QStringLiteral("T"), QStringLiteral("W"), QStringLiteral("T"),
                           QStringLiteral("F"), QStringLiteral("S"), QStringLiteral("S")};
    for (int i = 0; i < 7; ++i) {
        const double x = 407 + 151 * i;
        roundedRect(p, {x, 824.0 - heights[i], 61, double(heights[i])}, 10, i == 3 ? rgb(0xCEFAA0) : rgb(0x4C8F7E));
        text(p, days[i], {x + 20, 846}, 16, QFont::Normal, dim);
    }
}

void planner(QPainter &p)
{
    const QColor ink = rgb(0x25302A);
    const QColor soft = rgb(0x6B716A);
    text(p, QStringLiteral("canvas"), {80, 50}, 36, QFont::DemiBold, ink);
    text(p, QStringLiteral("Design sprint"), {78, 156}, 62, QFont::DemiBold, ink);
    text(p, QStringLiteral("Make the important things visible."), {84, 244}, 25, QFont::Normal, soft);
    struct Column {
        const char *heading;
        unsigned color;
        const char *cards[2];
    };
    const Column columns[] = {
        {"TO EXPLORE", 0xE4E3DC, {"A quieter onboarding", "The first five minutes"}},
        {"IN THE MAKING", 0xE6D8C7, {"A little more clarity", "Good things take shape"}},
        {"READY TO SHARE", 0xCFDDCB, {"Less, but better", "Details make the difference"}},
    };
    for (int c = 0; c < 3; ++c) {
        const double x = 82 + 493 * c;
        text(p, QString::fromUtf8(columns[c].heading), {x + 15, 348}, 16, QFont::DemiBold, soft);
        for (int k = 0; k < 2; ++k) {
            const double dy = 227 * k;
            roundedRect(p, {x, 399 + dy, 457, 195}, 18, rgb(columns[c].color));
            roundedRect(p, {x + 23, 422 + dy, 104, 28}, 14, rgba(0xFFFFFF, 0.65));
            const QString tag = (c + k) % 2 == 0 ? QStringLiteral("RESEARCH") : QStringLiteral("DESIGN");
            p.save();
            p.setFont(font(12, QFont::DemiBold, Face::sans));
            p.setPen(soft);
            p.drawText(QRectF(x + 23, 422 + dy, 104, 28), Qt::AlignCenter, tag);
            p.restore();
            text(p, QString::fromUtf8(columns[c].cards[k]), {x + 23, 477 + dy}, 27, QFont::DemiBold, ink);
            text(p, QStringLiteral("Product studio   ·   Sample"), {x + 25, 548 + dy}, 16, QFont::Normal, soft);
        }
    }
}

void code(QPainter &p)
{
    fill(p, {0, 0, 1600, 69}, 0x101922);
    text(p, QStringLiteral("CaptureSample.cpp"), {68, 26}, 20, QFont::Medium, rgb(0xC9D6DD));
    text(p, QStringLiteral("Linux · X11"), {1320, 27}, 16, QFont::Normal, rgb(0x6F8791));
    struct Line {
        const char *code;
        unsigned color;
    };
    const Line lines[] = {
        {"#include \"platform/ScreenSource.h\"", 0xC792EA},
        {"", 0},
        {"StreamConfiguration config;", 0x82AAFF},
        {"config.queueDepth = 3;", 0xD6E4EA},
        {"config.showsCursor = false;", 0xF78C6C},
        {"", 0},
        {"auto filter = ContentFilter::display(id);", 0x89DDFF},
        {"filter.excludeOwnWindows = true;", 0xD6E4EA},
        {"auto shot = co_await source.screenshot(", 0xC3E88D},
        {"    filter, config);", 0xC3E88D},
        {"library.insertImage(shot.image);", 0xFFCB6B},
        {"// stays on this computer", 0x5C7E73},
    };
    for (int n = 1; n <= 12; ++n) {
        const double y = 151 + 55 * (n - 1);
        text(p, QString::asprintf("%02d", n), {65, y}, 23, QFont::Normal, rgb(0x4B626C), Face::mono);
        text(p, QString::fromUtf8(lines[n - 1].code), {155, y - 3}, 29, QFont::Normal, rgb(lines[n - 1].color),
             Face::mono);
    }
    roundedRect(p, {1120, 765, 380, 115}, 16, rgb(0x30463F));
    text(p, QStringLiteral("Built to stay out of your way."), {1154, 792}, 19, QFont::Medium, rgb(0xE2EEE6));
    text(p, QStringLiteral("Qt 6 · XCB · FFmpeg"), {1154, 832}, 17, QFont::Normal, rgb(0xA6C2B4));
}

void privacy(QPainter &p)
{
    const QColor ink = rgb(0x1E2A24);
    const QColor label = rgb(0x8A9187);
    roundedRect(p, {100, 75, 1400, 820}, 25, rgb(0xFFFFFF));
    text(p, QStringLiteral("PROJECT HANDOFF"), {190, 135}, 20, QFont::DemiBold, rgb(0x6F7A6A));
    text(p, QStringLiteral("Share the work. Not the secrets."), {186, 192}, 48, QFont::DemiBold, ink);
    text(p, privacyName, {192, 300}, 45, QFont::Medium, ink);
    text(p, QStringLiteral("EMAIL"), {193, 382}, 16, QFont::Normal, label);
    text(p, privacyEmail, {192, 420}, 37, QFont::Normal, ink);
    text(p, QStringLiteral("PHONE"), {193, 486}, 16, QFont::Normal, label);
    text(p, privacyPhone, {192, 520}, 37, QFont::Normal, ink);
    roundedRect(p, {172, 633, 1245, 107}, 12, rgb(0xF1F4EF));
    text(p, privacyKeyLine, {192, 660}, 32, QFont::Normal, ink, Face::mono);
    text(p, QStringLiteral("SYNTHETIC CONTACT DETAILS · FOR REDACTION PRACTICE"), {193, 806}, 17, QFont::Normal, label);
}

void typography(QPainter &p)
{
    gradient(p, {0, 0, 1600, 1000}, {0x183D34, 0x45745C, 0xA0B888});
    p.save();
    p.setPen(QPen(rgba(0xB3CAA2, 0.3), 1));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 12; ++i) {
        const double inset = 26.5 * i;
        p.drawEllipse(QRectF(685 + inset, -300 + inset, 1450 - 2 * inset, 1450 - 2 * inset));
    }
    p.restore();
    const QColor light = rgb(0xE6EEDC);
    text(p, QStringLiteral("NOTES TO SELF / 006"), {118, 108}, 21, QFont::Medium, light);
    text(p, QStringLiteral("Clarity,\nby default."), {109, 244}, 171, QFont::Normal, rgb(0xF3F6EC), Face::serif);
    text(p, QStringLiteral("Keep what matters. Let the rest go."), {122, 777}, 28, QFont::Normal, light);
    text(p, QStringLiteral("TARN / IDEAS IN FOCUS"), {121, 900}, 18, QFont::Normal, light);
}

struct Scene {
    const char *title;
    unsigned background;
    bool favorite;
    void (*draw)(QPainter &);
    unsigned labelColor;
};

const Scene scenes[] = {
    {"Orbit — 브랜드 랜딩", 0xE9ECDD, true, landing, 0x718065},
    {"Focus — 대시보드 리뷰", 0x111B24, false, dashboard, 0x6A8B7B},
    {"Canvas — 디자인 스프린트", 0xEFEEE9, true, planner, 0x939A8B},
    {"Native — 개발 노트", 0x15212B, false, code, 0x5C7E73},
    {"Privacy — 마스킹 연습", 0xF1F0E8, false, privacy, 0xA3AA9C},
    {"Clarity — 작은 아이디어", 0x283E35, false, typography, 0xA6C2A2},
};

} // namespace

std::vector<DemoSample> makeSamples()
{
    std::vector<DemoSample> samples;
    for (const Scene &scene : scenes) {
        DemoSample sample;
        sample.title = QString::fromUtf8(scene.title);
        sample.image = canvas(scene.background, [&scene](QPainter &painter) {
            scene.draw(painter);
            sampleLabel(painter, scene.labelColor);
        });
        sample.favorite = scene.favorite;
        if (scene.draw == privacy)
            sample.regions = privacyRegions();
        samples.push_back(std::move(sample));
    }
    return samples;
}

std::vector<TextRegion> privacyRegions()
{
    const auto region = [](const QString &text, UnitRect rect) {
        return TextRegion{Uuid::random(), text.toStdString(), rect, 1.0f};
    };
    return {
        region(privacyName, UnitRect(0.12, 0.30, 0.35, 0.06)),
        region(privacyEmail, UnitRect(0.12, 0.42, 0.45, 0.055)),
        region(privacyPhone, UnitRect(0.12, 0.52, 0.36, 0.055)),
        region(privacyKeyLine, UnitRect(0.12, 0.66, 0.72, 0.055)),
    };
}

QImage benchmarkImage()
{
    QImage image = bitmap(3840, 2160);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    fill(p, image.rect(), 0x14252B);
    gradient(p, {0, 0, 3840, 2160}, {0x143B3E, 0x457B70, 0xC0D9A1});
    roundedRect(p, {230, 200, 3380, 1750}, 48, rgb(0x102129));
    text(p, QStringLiteral("Tarnwick rendering benchmark"), {380, 350}, 108, QFont::DemiBold, rgb(0xEAF2EA));
    text(p, QStringLiteral("3840 × 2160 · synthetic input · no screen data"), {390, 520}, 48, QFont::Normal,
         rgb(0xA1B9AA));
    for (int i = 0; i < 12; ++i) {
        const QRectF bar(390 + 235 * i, 850 + 80 * (i % 3), 170, 720 - 110 * (i % 4));
        roundedRect(p, bar, 18, rgb(i % 2 == 0 ? 0xCFFAAB : 0x4C9D8C));
    }
    return image;
}

} // namespace tarn::DemoContent
