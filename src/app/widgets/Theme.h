// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

namespace tarn::Theme {

// The icon theme the application draws its symbols from (a complete dark freedesktop theme).
inline constexpr const char *iconThemeName = "Papirus-Dark";

// Makes that icon theme the one the application loads its symbols from.
void useIconTheme();
// The interface is always dark: the Fusion style with the dark palette for every widget, and
// the icon theme above.
void useDarkAppearance();
// The freedesktop icon name that stands for a symbol name, or an empty text for an unknown one.
QString iconName(const QString &symbol);
// The icon of a symbol name from the icon theme (a null icon for an unknown symbol).
QIcon icon(const QString &symbol);
// A symbol drawn in one colour: the theme's icon serves as a mask filled with `color`, so every
// symbol has the same tint whatever colours the icon theme drew it in. Null for an unknown one.
QImage symbolImage(const QString &symbol, const QColor &color, int size, qreal devicePixelRatio);
// Every symbol name the table knows, in table order.
QStringList symbols();

} // namespace tarn::Theme
