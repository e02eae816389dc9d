// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/InspectorParts.h"

#include <cmath>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QSignalBlocker>

#include "app/editor/EditorModel.h"
#include "app/editor/EditorViewValues.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"

namespace tarn::InspectorParts {

QFont font(int pixelSize, QFont::Weight weight, bool monospaced)
{
    QFont font = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QColor greyed(const QColor &color)
{
    QColor faded = color;
    faded.setAlphaF(color.alphaF() * disabledOpacity);
    return faded;
}

QLabel *label(const QString &text, const QFont &font, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, greyed(color));
    label->setPalette(palette);
    return label;
}

QLabel *note(const QString &text, const QFont &font, const QColor &color, int lineSpacing, QWidget *parent)
{
    // Rich text carries the line height; the words themselves are escaped, and their spaces kept
    // as they are (recognized text is shown exactly as it will be copied).
    QLabel *note = label(QString(), font, color, parent);
    note->setTextFormat(Qt::RichText);
    const int height = QFontMetrics(font).height() + lineSpacing;
    note->setText(QStringLiteral("<div style=\"white-space:pre-wrap; line-height:%1px\">%2</div>")
                      .arg(height)
                      .arg(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
    note->setWordWrap(true);
    note->setAccessibleName(text);
    return note;
}

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Palette::border);
    line->setPalette(palette);
    return line;
}

QVBoxLayout *section(const QString &title, QVBoxLayout *into, QLabel **titleLabel)
{
    auto *parts = new QVBoxLayout;
    parts->setSpacing(13);
    parts->setContentsMargins(0, 0, 0, 0);
    QLabel *heading = label(title, font(11, QFont::DemiBold), Palette::muted);
    parts->addWidget(heading);
    if (titleLabel)
        *titleLabel = heading;
    into->addLayout(parts);
    return parts;
}

void clear(QLayout *layout)
{
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *widget = item->widget())
            delete widget;
        else if (QLayout *child = item->layout())
            clear(child);
        delete item;
    }
}

// An indeterminate progress row with its label.
QWidget *progressRow(const QString &text, const QString &name)
{
    auto *row = new QWidget;
    row->setObjectName(name);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QProgressBar(row);
    bar->setRange(0, 0);
    bar->setFixedWidth(60);
    bar->setTextVisible(false);
    layout->addWidget(bar);
    layout->addWidget(label(text, font(11), Palette::text, row), 1);
    return row;
}

TarnButton *recognizeButton(EditorModel &model, const QString &text, const QString &name)
{
    auto *button = new TarnButton(text, TarnButtonStyle{.prominent = true});
    button->setObjectName(name);
    QObject::connect(button, &QAbstractButton::clicked, &model, &EditorModel::recognizeText);
    return button;
}

void clearFrom(QVBoxLayout *layout, int first)
{
    while (layout->count() > first) {
        QLayoutItem *item = layout->takeAt(first);
        if (QWidget *widget = item->widget()) {
            // Out of the tree at once; deleted once the event that got here has finished.
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        } else if (item->layout())
            clear(item->layout());
        delete item;
    }
}

} // namespace tarn::InspectorParts

namespace tarn {

void InspectorPanel::follow()
{
    if (isVisible())
        bringUpToDate();
    else
        stale_ = true;
}

void InspectorPanel::showEvent(QShowEvent *event)
{
    if (stale_)
        bringUpToDate();
    QWidget::showEvent(event);
}

void InspectorPanel::bringUpToDate()
{
    stale_ = false;
    ++refreshes_;
    refresh();
}

StepSlider::StepSlider(double minimum, double maximum, double step, QWidget *parent)
    : QSlider(Qt::Horizontal, parent),
      minimum_(minimum),
      maximum_(maximum),
      step_(step)
{
    setRange(0, static_cast<int>(std::lround((maximum - minimum) / step)));
    setSingleStep(1);
    setPageStep(1);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Highlight, Palette::teal);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, Palette::border);
    palette.setColor(QPalette::Disabled, QPalette::Button, InspectorParts::greyed(palette.color(QPalette::Button)));
    setPalette(palette);
    connect(this, &QSlider::valueChanged, this, [this] {
        Q_EMIT previewed(doubleValue());
        if (!isSliderDown())
            Q_EMIT finished();
    });
    connect(this, &QSlider::sliderReleased, this, &StepSlider::finished);
}

double StepSlider::doubleValue() const { return minimum_ + value() * step_; }

void StepSlider::showValue(double value)
{
    const double shown = EditorViewValues::sliderValue(value, minimum_, maximum_);
    const QSignalBlocker blocker(this);
    setValue(static_cast<int>(std::lround((shown - minimum_) / step_)));
}

SliderRow::SliderRow(const QString &caption, double minimum, double maximum, double step, int valueWidth,
                     int valuePixelSize, QWidget *parent)
    : QWidget(parent),
      slider_(new StepSlider(minimum, maximum, step, this)),
      value_(InspectorParts::label(QString(), InspectorParts::font(valuePixelSize, QFont::Normal, true), Palette::text,
                                   this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(InspectorParts::label(caption, InspectorParts::font(11), Palette::muted, this));
    row->addWidget(slider_, 1);
    value_->setFixedWidth(valueWidth);
    value_->setAlignment(Qt::AlignCenter);
    row->addWidget(value_);
    slider_->setAccessibleName(caption);
    // The number follows the slider while it is dragged; the owner shows the stored value after.
    connect(slider_, &QSlider::valueChanged, this, [this] { showNumber(slider_->doubleValue()); });
}

void SliderRow::showValue(double value)
{
    slider_->showValue(value);
    showNumber(value);
}

void SliderRow::showNumber(double value)
{
    value_->setText(
        QString::number(EditorViewValues::wholeNumber(value, slider_->minimumValue(), slider_->maximumValue())));
}

} // namespace tarn
