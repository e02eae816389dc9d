// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SettingsLayout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn::SettingsLayout {

QFont font(int pixelSize, QFont::Weight weight, bool monospaced)
{
    QFont font = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette colors = widget->palette();
    colors.setColor(QPalette::WindowText, color);
    colors.setColor(QPalette::Text, color);
    colors.setColor(QPalette::ButtonText, color);
    widget->setPalette(colors);
}

QLabel *text(const QString &text, int pixelSize, QFont::Weight weight, const QColor &color, bool monospaced)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font(pixelSize, weight, monospaced));
    setTextColor(label, color);
    return label;
}

// Line spacing needs a text document; the label's rich text is one, with the spacing as the
// block's line distance.
QLabel *note(const QString &text, int pixelSize, int lineSpacing, const QColor &color)
{
    QString html;
    for (const QString &line : text.split(u'\n'))
        html += QStringLiteral("<p style=\"margin:0; line-height:%1px; -qt-line-height-type:line-distance;\">%2</p>")
                    .arg(lineSpacing)
                    .arg(line.toHtmlEscaped());
    auto *label = new QLabel(html);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setFont(font(pixelSize));
    label->setAccessibleName(text);
    setTextColor(label, color);
    return label;
}

QLabel *symbol(const QString &name, const QColor &color, int pixelSize)
{
    auto *label = new QLabel;
    label->setFixedSize(pixelSize, pixelSize);
    label->setPixmap(QPixmap::fromImage(Theme::symbolImage(name, color, pixelSize, qApp->devicePixelRatio())));
    return label;
}

QWidget *labelled(const QString &symbolName, const QString &caption, int pixelSize, const QColor &color,
                  bool monospaced)
{
    auto *widget = new QWidget;
    auto *row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(qMax(4, pixelSize / 2));
    row->addWidget(symbol(symbolName, color, pixelSize + 2), 0, Qt::AlignVCenter);
    row->addWidget(text(caption, pixelSize, QFont::Normal, color, monospaced), 0, Qt::AlignVCenter);
    return widget;
}

QPushButton *plainButton(const QString &caption, int pixelSize, const QColor &color)
{
    auto *button = new QPushButton(caption);
    button->setFlat(true);
    button->setFont(font(pixelSize));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; border: none; padding: 0; background: transparent; }")
            .arg(color.name()));
    return button;
}

QScrollArea *scrollArea(QWidget *content)
{
    auto *scroll = new QScrollArea;
    dressScrollArea(scroll, content);
    return scroll;
}

void dressScrollArea(QScrollArea *scroll, QWidget *content)
{
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    scroll->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }"
                       "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 30px; }"
                       "QScrollBar::handle:vertical:hover { background: %2; }"
                       "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
                       "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }")
            .arg(Palette::border.name(), Palette::muted.name()));
}

QWidget *divider()
{
    auto *line = new QWidget;
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette colors = line->palette();
    colors.setColor(QPalette::Window, Palette::border);
    line->setPalette(colors);
    return line;
}

Card::Card(qreal radius, int padding, int spacing, QWidget *parent) : QWidget(parent), radius_(radius)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(padding, padding, padding, padding);
    stack->setSpacing(spacing);
}

void Card::add(QWidget *row) { layout()->addWidget(row); }

void Card::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), radius_, radius_);
    painter.fillPath(shape, Palette::surface);
}

QWidget *settingsGroup(const QString &title, const std::vector<QWidget *> &rows)
{
    auto *group = new QWidget;
    auto *stack = new QVBoxLayout(group);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);
    stack->addWidget(text(title, 11, QFont::DemiBold, Palette::muted));
    auto *card = new Card(11, 18, 17);
    for (QWidget *row : rows)
        card->add(row);
    stack->addWidget(card);
    return group;
}

} // namespace tarn::SettingsLayout
