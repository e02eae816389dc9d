// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <vector>

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "app/editor/RailButton.h"
#include "app/widgets/TarnButtonStyle.h"
#include "core/model/Markup.h"

namespace tarn {

class BadgeIcon;
class BadgeRotationControl;
class EditorModel;
class StepSlider;

// A popover: a popup panel beside or under its trigger that closes when the user clicks
// elsewhere, and says so. It also closes when its trigger's window hides, closes or goes away:
// a popup is a window of its own and would otherwise stay on screen, and close only while its
// trigger's views are being torn down, ending its control edit into views already half gone.
class ToolPopover : public QFrame {
    Q_OBJECT

public:
    enum class Edge { leading, top };
    explicit ToolPopover(QWidget *trigger);
    // Opens next to the trigger: to its right (arrow on the leading edge) or under it.
    void open(Edge edge);

Q_SIGNALS:
    void hidden();

protected:
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *trigger_;
};

// The rail entry of the four shape tools: shows the last chosen shape, opens a row of shapes.
class ShapeToolMenu : public RailButton {
    Q_OBJECT

public:
    explicit ShapeToolMenu(EditorModel &model, QWidget *parent = nullptr);
    ToolPopover *popover() const { return popover_; }
    bool isPresented() const { return popover_->isVisible(); }
    QAbstractButton *shapeButton(MarkupTool shape) const;

protected:
    QColor plateColor() const override;
    QColor pictureColor() const override;
    void paintPicture(QPainter &painter) override;

private:
    void refresh();

    QPointer<EditorModel> model_;
    ToolPopover *popover_;
    std::vector<QAbstractButton *> shapeButtons_;
};

// The rail entry of the badge tool: shows the current badge, opens the five styles and the
// direction control. Opening it makes the badge the active tool first.
class BadgeToolMenu : public RailButton {
    Q_OBJECT

public:
    explicit BadgeToolMenu(EditorModel &model, QWidget *parent = nullptr);
    ToolPopover *popover() const { return popover_; }
    bool isPresented() const { return popover_->isVisible(); }
    QAbstractButton *styleButton(BadgeStyle style) const;
    BadgeRotationControl *rotationControl() const { return rotation_; }

protected:
    QColor plateColor() const override;
    void paintPicture(QPainter &painter) override;

private:
    void toggle();
    void refresh();

    QPointer<EditorModel> model_;
    ToolPopover *popover_;
    std::vector<QAbstractButton *> styleButtons_;
    std::vector<BadgeIcon *> styleIcons_;
    BadgeRotationControl *rotation_;
};

// The top bar's stroke-weight button: "두께" and the weight; opens presets and a slider. Only
// tools that draw a stroke take a weight.
class StrokeWeightMenu : public TarnButton {
    Q_OBJECT

public:
    static constexpr std::array<double, 6> presets{2, 4, 6, 8, 12, 16};

    explicit StrokeWeightMenu(EditorModel &model, QWidget *parent = nullptr);
    ToolPopover *popover() const { return popover_; }
    bool isPresented() const { return popover_->isVisible(); }
    QAbstractButton *presetRow(int index) const { return presetRows_[index]; }
    StepSlider *slider() const { return slider_; }
    // Whether a preset row carries the check mark (within 0.1 of the weight).
    static bool isChosen(double weight, double preset);

private:
    void refresh();

    QPointer<EditorModel> model_;
    ToolPopover *popover_;
    QLabel *popoverValue_;
    std::vector<QAbstractButton *> presetRows_;
    StepSlider *slider_;
};

} // namespace tarn
