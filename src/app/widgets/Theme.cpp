// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/Theme.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyleFactory>

#include "app/widgets/Palette.h"

namespace tarn::Theme {

namespace {

// Symbol names as the interface uses them, and the icon drawn for each. Symbols that views draw
// large take the theme's monochrome "-symbolic" glyph: a full-colour icon tinted to one colour
// loses its inner lines and turns into a solid plate.
struct Entry {
    QStringView symbol;
    QStringView icon;
};
constexpr Entry table[] = {
    {u"viewfinder", u"camera-photo"},
    {u"square.grid.2x2", u"view-grid"},
    {u"photo", u"image-x-generic-symbolic"},
    {u"video", u"camera-video-symbolic"},
    {u"film", u"applications-multimedia"},
    {u"star", u"star-off"},
    {u"star.fill", u"starred"},
    {u"trash", u"user-trash"},
    {u"text.viewfinder", u"edit-find"},
    {u"square.and.arrow.down", u"document-save"},
    {u"square.and.arrow.up", u"document-export"},
    {u"command", u"input-keyboard-symbolic"},
    {u"keyboard", u"input-keyboard"},
    {u"gearshape", u"configure"},
    {u"slider.horizontal.3", u"configure"},
    {u"magnifyingglass", u"system-search"},
    {u"xmark", u"window-close"},
    {u"xmark.circle.fill", u"edit-clear"},
    {u"sparkle", u"starred"},
    {u"macwindow", u"window"},
    {u"display", u"video-display-symbolic"},
    {u"record.circle", u"media-record"},
    {u"record.circle.fill", u"media-record"},
    {u"stop.circle.fill", u"media-playback-stop"},
    {u"stop.fill", u"media-playback-stop"},
    {u"lock.shield", u"security-high"},
    {u"checkmark.shield", u"security-high"},
    {u"exclamationmark.triangle", u"dialog-warning-symbolic"},
    {u"checkmark.square", u"checkbox-checked-symbolic"},
    {u"checkmark.circle.fill", u"emblem-ok-symbolic"},
    {u"checkmark.circle", u"emblem-ok-symbolic"},
    {u"checkmark", u"dialog-ok"},
    {u"plus", u"list-add"},
    {u"minus", u"list-remove"},
    {u"chevron.down", u"go-down"},
    {u"list.bullet", u"view-list"},
    {u"arrow.uturn.backward", u"edit-undo"},
    {u"arrow.uturn.forward", u"edit-redo"},
    {u"arrow.clockwise", u"view-refresh"},
    {u"arrow.left", u"go-previous"},
    {u"photo.badge.plus", u"insert-image-symbolic"},
    {u"play", u"media-playback-start"},
    {u"play.circle.fill", u"media-playback-start"},
    {u"play.fill", u"media-playback-start"},
    {u"pause.fill", u"media-playback-pause"},
    {u"doc.on.doc", u"edit-copy"},
    {u"pin", u"pin"},
    {u"ellipsis", u"view-more"},
    {u"rectangle.inset.filled.and.person.filled", u"video-display-symbolic"},
    {u"mic", u"audio-input-microphone"},
    {u"externaldrive.badge.checkmark", u"drive-harddisk-symbolic"},
    {u"arrow.up.left.and.arrow.down.right", u"view-fullscreen"},
    {u"arrow.up.left", u"go-up"},
    {u"circle.dotted", u"draw-ellipse"},
    {u"circle.lefthalf.filled", u"contrast"},
    {u"slash.circle", u"action-unavailable"},
    {u"lineweight", u"draw-line"},
    {u"cursorarrow", u"tool-pointer"},
    {u"arrow.up.right", u"draw-arrow-forward"},
    {u"square", u"draw-rectangle"},
    {u"rectangle", u"draw-square-inverted-corners"},
    {u"circle", u"draw-ellipse"},
    {u"line.diagonal", u"draw-line"},
    {u"pencil.tip", u"draw-freehand"},
    {u"textformat", u"draw-text"},
    {u"checkmark.seal", u"emblem-default"},
    {u"1.circle", u"format-list-ordered"},
    {u"highlighter", u"tool-highlight-symbolic"},
    {u"square.dashed.inset.filled", u"object-tweak-blur"},
    {u"rectangle.fill", u"draw-rectangle"},
    {u"crop", u"transform-crop"},
};

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

QString iconName(const QString &symbol)
{
    for (const Entry &entry : table) {
        if (entry.symbol == symbol)
            return entry.icon.toString();
    }
    return {};
}

QIcon icon(const QString &symbol)
{
    const QString name = iconName(symbol);
    return name.isEmpty() ? QIcon() : QIcon::fromTheme(name);
}

QImage symbolImage(const QString &symbol, const QColor &color, int size, qreal devicePixelRatio)
{
    const QPixmap mask = icon(symbol).pixmap(QSize(size, size), devicePixelRatio);
    if (mask.isNull())
        return {};
    QImage tinted = mask.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter tint(&tinted);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(tinted.rect(), color);
    }
    tinted.setDevicePixelRatio(devicePixelRatio);
    return tinted;
}

QStringList symbols()
{
    QStringList names;
    for (const Entry &entry : table)
        names << entry.symbol.toString();
    return names;
}

} // namespace tarn::Theme
