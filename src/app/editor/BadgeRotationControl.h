// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <vector>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "app/editor/InspectorParts.h"

namespace tarn {

class EditorModel;

// The badge direction: its value in degrees, a slider from 0 to 360 and nine preset buttons,
// each a live change that ends as one undo step. It works only while the badge is the active
// tool, and commits a pending change when it goes away.
class BadgeRotationControl : public InspectorPanel {
    Q_OBJECT

public:
    static constexpr std::array<double, 9> presets{0, 45, 90, 135, 180, 225, 270, 315, 360};

    explicit BadgeRotationControl(EditorModel &model, QWidget *parent = nullptr);
    StepSlider *slider() const { return slider_; }
    QPushButton *presetButton(int index) const { return presetButtons_[index]; }
    // Whether a preset is drawn as the chosen one (within half a degree of the rotation).
    static bool isChosen(double rotation, double preset);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void refresh() override;

    QPointer<EditorModel> model_;
    QLabel *value_;
    StepSlider *slider_;
    std::vector<QPushButton *> presetButtons_;
};

} // namespace tarn
