// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/Theme.h"

#include <algorithm>

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QTransform>
#include <QtMath>

#include "app/widgets/Palette.h"
#include "app/widgets/SymbolGlyphs.h"

namespace tarn::Theme {

namespace {

// The symbols come from one monochrome set, the Material Icons font (Debian's
// fonts-material-design-icons-iconfont), so every glyph shares one grid, one line weight and one
// tint. The few it lacks are drawn in its manner by SymbolGlyphs.
const QString fontFile =
    QStringLiteral("/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf");
const QString fontFamily = QStringLiteral("Material Icons");

// The font's glyphs that the table below uses, by the font's own names.
struct FontGlyph {
    QStringView name;
    char16_t code;
};
constexpr FontGlyph fontGlyphs[] = {
    {u"add", 0xe145},
    {u"add_photo_alternate", 0xe43e},
    {u"arrow_back", 0xe5c4},
    {u"auto_awesome", 0xe65f},
    {u"block", 0xe14b},
    {u"border_color", 0xe22b},
    {u"cancel", 0xe5c9},
    {u"check", 0xe5ca},
    {u"check_box", 0xe834},
    {u"check_circle", 0xe86c},
    {u"check_circle_outline", 0xe92d},
    {u"close", 0xe5cd},
    {u"co_present", 0xeaf0},
    {u"contrast", 0xeb37},
    {u"content_copy", 0xe14d},
    {u"crop", 0xe3be},
    {u"crop_7_5", 0xe3c0},
    {u"crop_free", 0xe3c2},
    {u"crop_square", 0xe3c6},
    {u"delete", 0xe872},
    {u"desktop_windows", 0xe30c},
    {u"document_scanner", 0xe5fa},
    {u"edit", 0xe3c9},
    {u"expand_more", 0xe5cf},
    {u"fiber_manual_record", 0xe061},
    {u"format_list_bulleted", 0xe241},
    {u"grid_view", 0xe9b0},
    {u"ios_share", 0xe6b8},
    {u"keyboard", 0xe312},
    {u"keyboard_command_key", 0xeae7},
    {u"line_weight", 0xe91a},
    {u"lock", 0xe897},
    {u"looks_one", 0xe400},
    {u"mic_none", 0xe02a},
    {u"more_horiz", 0xe5d3},
    {u"north_east", 0xf1e1},
    {u"north_west", 0xf1e2},
    {u"open_in_full", 0xf1ce},
    {u"pause", 0xe034},
    {u"photo", 0xe410},
    {u"play_arrow", 0xe037},
    {u"play_circle_filled", 0xe038},
    {u"push_pin", 0xf10d},
    {u"radio_button_checked", 0xe837},
    {u"radio_button_unchecked", 0xe836},
    {u"rectangle", 0xeb54},
    {u"redo", 0xe15a},
    {u"refresh", 0xe5d5},
    {u"remove", 0xe15b},
    {u"save_alt", 0xe171},
    {u"storage", 0xe1db},
    {u"search", 0xe8b6},
    {u"settings", 0xe8b8},
    {u"shield", 0xe9e0},
    {u"star", 0xe838},
    {u"star_border", 0xe83a},
    {u"stop", 0xe047},
    {u"stop_circle", 0xef71},
    {u"text_fields", 0xe262},
    {u"theaters", 0xe8da},
    {u"tune", 0xe429},
    {u"undo", 0xe166},
    {u"verified", 0xef76},
    {u"verified_user", 0xe8e8},
    {u"videocam", 0xe04b},
    {u"warning_amber", 0xf083},
    {u"web_asset", 0xe069},
};

// Symbol names as the interface uses them, and the glyph that stands for each: a name of the
// font's or one of the drawn glyphs of SymbolGlyphs.
struct Entry {
    QStringView symbol;
    QStringView glyph;
};
constexpr Entry table[] = {
    {u"viewfinder", u"crop_free"},
    {u"square.grid.2x2", u"grid_view"},
    {u"photo", u"photo"},
    {u"video", u"videocam"},
    {u"film", u"theaters"},
    {u"star", u"star_border"},
    {u"star.fill", u"star"},
    {u"trash", u"delete"},
    {u"text.viewfinder", u"document_scanner"},
    {u"square.and.arrow.down", u"save_alt"},
    {u"square.and.arrow.up", u"ios_share"},
    {u"command", u"keyboard_command_key"},
    {u"keyboard", u"keyboard"},
    {u"gearshape", u"settings"},
    {u"slider.horizontal.3", u"tune"},
    {u"magnifyingglass", u"search"},
    {u"xmark", u"close"},
    {u"xmark.circle.fill", u"cancel"},
    {u"sparkle", u"auto_awesome"},
    {u"macwindow", u"web_asset"},
    {u"display", u"desktop_windows"},
    {u"record.circle", u"radio_button_checked"},
    {u"record.circle.fill", u"fiber_manual_record"},
    {u"stop.circle.fill", u"stop_circle"},
    {u"stop.fill", u"stop"},
    {u"lock.shield", u"locked-shield"},
    {u"checkmark.shield", u"verified_user"},
    {u"exclamationmark.triangle", u"warning_amber"},
    {u"checkmark.square", u"check_box"},
    {u"checkmark.circle.fill", u"check_circle"},
    {u"checkmark.circle", u"check_circle_outline"},
    {u"checkmark", u"check"},
    {u"plus", u"add"},
    {u"minus", u"remove"},
    {u"chevron.down", u"expand_more"},
    {u"list.bullet", u"format_list_bulleted"},
    {u"arrow.uturn.backward", u"undo"},
    {u"arrow.uturn.forward", u"redo"},
    {u"arrow.clockwise", u"refresh"},
    {u"arrow.left", u"arrow_back"},
    {u"photo.badge.plus", u"add_photo_alternate"},
    {u"play", u"play_arrow"},
    {u"play.circle.fill", u"play_circle_filled"},
    {u"play.fill", u"play_arrow"},
    {u"pause.fill", u"pause"},
    {u"doc.on.doc", u"content_copy"},
    {u"pin", u"push_pin"},
    {u"ellipsis", u"more_horiz"},
    {u"rectangle.inset.filled.and.person.filled", u"co_present"},
    {u"mic", u"mic_none"},
    {u"externaldrive.badge.checkmark", u"storage"},
    {u"arrow.up.left.and.arrow.down.right", u"open_in_full"},
    {u"arrow.up.left", u"north_west"},
    {u"circle.dotted", u"dotted-circle"},
    {u"circle.lefthalf.filled", u"contrast"},
    {u"slash.circle", u"block"},
    {u"lineweight", u"line_weight"},
    {u"cursorarrow", u"pointer"},
    {u"arrow.up.right", u"north_east"},
    {u"square", u"crop_square"},
    {u"rectangle", u"crop_7_5"},
    {u"circle", u"radio_button_unchecked"},
    {u"line.diagonal", u"diagonal"},
    {u"pencil.tip", u"edit"},
    {u"textformat", u"text_fields"},
    {u"checkmark.seal", u"verified"},
    {u"1.circle", u"numbered-circle"},
    {u"highlighter", u"border_color"},
    {u"square.dashed.inset.filled", u"dashed-square"},
    {u"rectangle.fill", u"rectangle"},
    {u"crop", u"crop"},
};

// The family of the symbol font, loaded from its file once; empty when it is not installed.
QString loadedFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(fontFile);
        const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        if (!families.isEmpty())
            return families.first();
        return QFontDatabase::families().contains(fontFamily) ? fontFamily : QString();
    }();
    return family;
}

// The outline of one of the font's glyphs in the 24-unit grid. The font draws every glyph in a
// square em whose top is the ascent above the baseline.
QPainterPath fontOutline(QStringView name)
{
    constexpr int emPixels = 240;
    for (const FontGlyph &glyph : fontGlyphs) {
        if (glyph.name != name)
            continue;
        const QString family = loadedFamily();
        if (family.isEmpty())
            return {};
        QFont font(family);
        font.setPixelSize(emPixels);
        font.setHintingPreference(QFont::PreferNoHinting);
        QPainterPath path;
        path.addText(QPointF(0, QFontMetricsF(font).ascent()), font, QString(QChar(glyph.code)));
        const double scale = SymbolGlyphs::grid / emPixels;
        return QTransform::fromScale(scale, scale).map(path);
    }
    return {};
}

const Entry *entry(QStringView symbol)
{
    for (const Entry &candidate : table)
        if (candidate.symbol == symbol)
            return &candidate;
    return nullptr;
}

// The outline of a symbol in the grid, made once per symbol.
QPainterPath gridOutline(QStringView symbol)
{
    static QHash<QString, QPainterPath> outlines;
    const QString key = symbol.toString();
    if (auto known = outlines.constFind(key); known != outlines.constEnd())
        return *known;
    QPainterPath outline;
    if (const Entry *found = entry(symbol)) {
        outline = fontOutline(found->glyph);
        if (outline.isEmpty())
            outline = SymbolGlyphs::drawn(found->glyph, &fontOutline);
    }
    outlines.insert(key, outline);
    return outline;
}

} // namespace

void useIconTheme()
{
    const QString wanted = QString::fromLatin1(iconThemeName);
    if (QIcon::themeName() != wanted)
        QIcon::setThemeName(wanted);
}

void useDarkAppearance()
{
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QPalette dark;
    dark.setColor(QPalette::Window, Palette::background);
    dark.setColor(QPalette::WindowText, Palette::text);
    dark.setColor(QPalette::Base, Palette::surface);
    dark.setColor(QPalette::AlternateBase, Palette::raised);
    dark.setColor(QPalette::Text, Palette::text);
    dark.setColor(QPalette::Button, Palette::raised);
    dark.setColor(QPalette::ButtonText, Palette::text);
    dark.setColor(QPalette::BrightText, Palette::accent);
    dark.setColor(QPalette::Highlight, Palette::teal);
    dark.setColor(QPalette::HighlightedText, Palette::sidebar);
    dark.setColor(QPalette::ToolTipBase, Palette::raised);
    dark.setColor(QPalette::ToolTipText, Palette::text);
    dark.setColor(QPalette::PlaceholderText, Palette::muted);
    dark.setColor(QPalette::Link, Palette::teal);
    dark.setColor(QPalette::Light, Palette::border);
    dark.setColor(QPalette::Midlight, Palette::raised);
    dark.setColor(QPalette::Mid, Palette::border);
    dark.setColor(QPalette::Dark, Palette::sidebar);
    dark.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, Palette::muted);
    QApplication::setPalette(dark);
    useIconTheme();
}

QPainterPath symbolPath(const QString &symbol, const QRectF &box)
{
    const QPainterPath outline = gridOutline(symbol);
    if (outline.isEmpty())
        return {};
    const double side = std::min(box.width(), box.height());
    QTransform place;
    place.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    place.scale(side / SymbolGlyphs::grid, side / SymbolGlyphs::grid);
    return place.map(outline);
}

void drawSymbol(QPainter &painter, const QString &symbol, const QRectF &box, const QColor &color)
{
    const QPainterPath path = symbolPath(symbol, box);
    if (path.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
    painter.restore();
}

QImage symbolImage(const QString &symbol, const QColor &color, int size, qreal devicePixelRatio)
{
    if (gridOutline(symbol).isEmpty() || size <= 0)
        return {};
    const int pixels = qCeil(size * devicePixelRatio);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        drawSymbol(painter, symbol, QRectF(0, 0, pixels, pixels), color);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QStringList symbols()
{
    QStringList names;
    for (const Entry &entry : table)
        names << entry.symbol.toString();
    return names;
}

} // namespace tarn::Theme
