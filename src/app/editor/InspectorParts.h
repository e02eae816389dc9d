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
// How much of a disabled part shows: greyed, as a control that does not answer.
inline constexpr double disabledOpacity = 0.4;
QColor greyed(const QColor &color);
// A text in one font and colour (greyed while disabled); wrapped text with the extra line spacing the panels use.
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

// A panel that follows the model only while it is on screen: a change made while it is hidden
// (another inspector tab, a closed popover) is shown when the panel is shown again, so a live
// preview redraws what can be seen and nothing more.
class InspectorPanel : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
    // How often the panel brought itself up to date.
    int refreshes() const { return refreshes_; }

public Q_SLOTS:
    // Up to date now when shown, else when next shown.
    void follow();

protected:
    virtual void refresh() = 0;
    void showEvent(QShowEvent *event) override;

private:
    void bringUpToDate();

    bool stale_ = true;
    int refreshes_ = 0;
};

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
    // Shows a stored value on the slider and as the number.
    void showValue(double value);

private:
    void showNumber(double value);

    StepSlider *slider_;
    QLabel *value_;
};

} // namespace tarn
