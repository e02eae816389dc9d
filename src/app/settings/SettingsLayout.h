// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

// The building blocks the settings window and the sheets are laid out with: texts at a pixel
// size, notes with extra line spacing, symbols, dividers and the titled group cards.
namespace tarn::SettingsLayout {

// A one-style text in the interface font (or the monospaced one) in a colour.
QLabel *text(const QString &text, int pixelSize, QFont::Weight weight, const QColor &color, bool monospaced = false);
// A wrapped text with `lineSpacing` pixels between its lines; "\n" starts a new line.
QLabel *note(const QString &text, int pixelSize, int lineSpacing, const QColor &color);
// A symbol drawn in one colour, `pixelSize` square.
QLabel *symbol(const QString &name, const QColor &color, int pixelSize);
// A symbol followed by a text, both in one colour.
QWidget *labelled(const QString &symbolName, const QString &text, int pixelSize, const QColor &color,
                  bool monospaced = false);
// A borderless text button (the plain button style) in a colour.
QPushButton *plainButton(const QString &text, int pixelSize, const QColor &color);
// A vertical scroll area without a frame over `content`, with a thin dark scroll bar.
QScrollArea *scrollArea(QWidget *content);
// Dresses a scroll area as the one above: no frame, vertical only, the content resized with it.
void dressScrollArea(QScrollArea *scroll, QWidget *content);
// A one-pixel horizontal line in the border colour.
QWidget *divider();

// A rounded surface card holding widgets one under another.
class Card : public QWidget {
    Q_OBJECT

public:
    Card(qreal radius, int padding, int spacing, QWidget *parent = nullptr);

    void add(QWidget *row);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal radius_;
};

// A titled group of settings rows: a muted 11-pixel semibold title over a surface card
// (radius 11, padded 18, rows 17 apart). Dividers are rows like any other.
QWidget *settingsGroup(const QString &title, const std::vector<QWidget *> &rows);

// The font of the interface at a pixel size and weight.
QFont font(int pixelSize, QFont::Weight weight = QFont::Normal, bool monospaced = false);
// Makes `widget` draw its text in `color`.
void setTextColor(QWidget *widget, const QColor &color);

} // namespace tarn::SettingsLayout
