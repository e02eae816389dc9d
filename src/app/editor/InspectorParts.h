// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QSlider>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

namespace tarn {
class EditorModel;
class TarnButton;
} // namespace tarn

namespace tarn::InspectorParts {

// The system font at a pixel size and weight, monospaced when asked.
QFont font(int pixelSize, QFont::Weight weight = QFont::Normal, bool monospaced = false);
// A text in one font and colour; wrapped text with the extra line spacing the panels use.
QLabel *label(const QString &text, const QFont &font, const QColor &color, QWidget *parent = nullptr);
QLabel *note(const QString &text, const QFont &font, const QColor &color, int lineSpacing, QWidget *parent = nullptr);
// A one-pixel line across the panel in the border colour.
QFrame *divider(QWidget *parent = nullptr);
// A titled section: the title (11 px semibold, muted) and the section's parts under it, 13 px
// apart. Returns the layout the parts go into.
QVBoxLayout *section(const QString &title, QVBoxLayout *into, QLabel **titleLabel = nullptr);
// Removes and deletes every item of a layout.
void clear(QLayout *layout);

// Removes and deletes the items of a layout from `first` on; widgets leave the tree at once.
void clearFrom(QVBoxLayout *layout, int first);
// An indeterminate progress row with its label ("텍스트 분석 중…").
QWidget *progressRow(const QString &text, const QString &name);
// A prominent button that starts the model's text recognition.
TarnButton *recognizeButton(EditorModel &model, const QString &text, const QString &name);

} // namespace tarn::InspectorParts

namespace tarn {

// A horizontal slider over a range of doubles in whole steps (QSlider counts in integers), with
// a number beside it. A drag reports each value as `previewed` and its end as `finished`; a key
// or wheel step, which has no drag, reports both at once. Values set from the model are shown
// within the range, so a damaged stored value never reaches the slider.
class StepSlider : public QSlider {
    Q_OBJECT

public:
    StepSlider(double minimum, double maximum, double step, QWidget *parent = nullptr);
    double minimumValue() const { return minimum_; }
    double maximumValue() const { return maximum_; }
    double doubleValue() const;
    // Shows a model value without reporting it.
    void showValue(double value);

Q_SIGNALS:
    void previewed(double value);
    void finished();

private:
    double minimum_;
    double maximum_;
    double step_;
};

// A labelled slider row: the caption, a StepSlider and the value as a whole number.
class SliderRow : public QWidget {
    Q_OBJECT

public:
    SliderRow(const QString &caption, double minimum, double maximum, double step, int valueWidth, int valuePixelSize,
              QWidget *parent = nullptr);
    StepSlider *slider() const { return slider_; }
    QLabel *valueLabel() const { return value_; }
    void showValue(double value);

private:
    StepSlider *slider_;
    QLabel *value_;
};

} // namespace tarn
