// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPainterPath>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "app/widgets/TarnButtonStyle.h"

namespace tarn::ViewKit {

// Fonts of the library views, sized in pixels: the interface font, a monospaced one and a
// serif one for the artwork.
QFont font(int pixelSize, QFont::Weight weight = QFont::Normal);
QFont monoFont(int pixelSize, QFont::Weight weight = QFont::Normal);
QFont serifFont(int pixelSize, QFont::Weight weight = QFont::Normal);
// The font of the key hints beside a command ("Ctrl+Shift+1"). The Linux key names are four
// times as wide as the other platform's key glyphs, so the hints are set in the interface font,
// narrower than a monospaced one, to leave the titles beside them their room.
QFont keyHintFont();

// A colour at a reduced opacity, for tinted plates and hairlines.
QColor faded(const QColor &color, qreal opacity);
QPainterPath roundedRect(const QRectF &rect, qreal radius);

// A symbol tinted in one colour at a logical size. Kept once made: cards paint the same few
// symbols many times, and tinting an icon is not free.
QPixmap symbol(const QString &name, const QColor &color, int size, qreal devicePixelRatio);
// Paints a symbol centred on a point; unknown names paint nothing.
void drawSymbol(QPainter &painter, const QPointF &centre, const QString &name, const QColor &color, int size);

// A one-line label in a font and colour.
QLabel *label(const QString &text, const QFont &font, const QColor &color, QWidget *parent = nullptr);

// The top of the library window's content was drawn under a see-through title bar of 28 points
// there; here the title bar and the menu bar stand above the content, so the top paddings that
// kept the brand and the header clear of it are that much smaller.
inline constexpr int titleBarInset = 28;

// Opacity of a control that is turned off.
inline constexpr qreal disabledOpacity = 0.4;

} // namespace tarn::ViewKit

namespace tarn {

// A rounded plate in one colour, with an optional one-pixel outline along its edge: the tinted
// backgrounds of bars, cards, banners and markers, and (with radius 0) hairlines.
class Plate : public QWidget {
    Q_OBJECT

public:
    Plate(qreal radius, const QColor &fill, const QColor &outline = Qt::transparent, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal radius_;
    QColor fill_;
    QColor outline_;
};

// One symbol in a fixed square, for rows of symbol and text.
class SymbolView : public QWidget {
    Q_OBJECT

public:
    SymbolView(const QString &symbol, const QColor &color, int size, QWidget *parent = nullptr);
    void setSymbol(const QString &symbol, const QColor &color);
    // Widens the square into a frame of its own width (the symbol stays centred).
    void setFrameWidth(int width);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    QColor color_;
    int size_;
    int frameWidth_ = 0;
};

// Lines of text with extra space between them, which a plain label cannot add.
class SpacedText : public QWidget {
    Q_OBJECT

public:
    SpacedText(const QString &text, const QFont &font, const QColor &color, int lineSpacing, QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList lines_;
    QColor color_;
    int lineSpacing_;
};

// A button without a plate: an optional symbol, a text and an optional trailing symbol in one
// colour. Dimmed while turned off, lighter while pressed.
class PlainButton : public QAbstractButton {
    Q_OBJECT

public:
    PlainButton(const QString &text, const QString &symbol, const QFont &font, const QColor &color,
                QWidget *parent = nullptr);
    void setLabel(const QString &text);
    void setTrailingSymbol(const QString &symbol, int size);
    void setSymbolSize(int size);
    void setSpacing(int spacing);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    QString trailing_;
    QColor color_;
    int symbolSize_;
    int trailingSize_ = 0;
    int spacing_ = 5;
};

// The shared button look with a symbol before its label.
class SymbolTarnButton : public TarnButton {
    Q_OBJECT

public:
    SymbolTarnButton(const QString &text, const QString &symbol, TarnButtonStyle style, QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
};

} // namespace tarn
