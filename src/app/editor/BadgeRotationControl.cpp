// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/BadgeRotationControl.h"

#include <cmath>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/editor/EditorModel.h"
#include "app/editor/EditorViewValues.h"
#include "app/editor/InspectorParts.h"
#include "app/widgets/Palette.h"

namespace tarn {

namespace {

QString degrees(double value) { return QString::number(EditorViewValues::wholeNumber(value, 0, 360)); }

// A preset face: its number in 10 px mono on a 5 px rounded plate, the chosen one in accent.
void paintPreset(QPushButton *button, bool chosen)
{
    const QColor text = chosen ? Palette::sidebar : Palette::text;
    const QColor plate = chosen ? Palette::accent : Palette::raised;
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; background: %2; border: none; border-radius: 5px;"
                                         " padding: 6px 0px; }")
                              .arg(text.name(), plate.name()));
}

} // namespace

BadgeRotationControl::BadgeRotationControl(EditorModel &model, QWidget *parent)
    : InspectorPanel(parent),
      model_(&model),
      value_(InspectorParts::label(QString(), InspectorParts::font(11, QFont::Normal, true), Palette::teal, this)),
      slider_(new StepSlider(0, 360, 1, this))
{
    setObjectName(QStringLiteral("editor.badgeRotation"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    auto *header = new QHBoxLayout;
    header->addWidget(
        InspectorParts::label(QStringLiteral("배지 방향"), InspectorParts::font(11, QFont::DemiBold), Palette::text));
    header->addStretch();
    header->addWidget(value_);
    column->addLayout(header);

    slider_->setObjectName(QStringLiteral("editor.badgeRotation.slider"));
    slider_->setAccessibleName(QStringLiteral("배지 방향"));
    column->addWidget(slider_);
    connect(slider_, &StepSlider::previewed, &model, &EditorModel::previewBadgeRotation);
    connect(slider_, &StepSlider::finished, &model, &EditorModel::finishControlEdit);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    for (size_t i = 0; i < presets.size(); ++i) {
        const double preset = presets[i];
        auto *button = new QPushButton(degrees(preset) + QStringLiteral("°"), this);
        button->setObjectName(QStringLiteral("editor.badgeRotation.preset%1").arg(degrees(preset)));
        button->setFont(InspectorParts::font(10, QFont::Normal, true));
        button->setAccessibleName(QStringLiteral("배지 방향 %1도").arg(degrees(preset)));
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QPushButton::clicked, this, [this, preset] {
            if (!model_)
                return;
            model_->previewBadgeRotation(preset);
            model_->finishControlEdit();
        });
        grid->addWidget(button, static_cast<int>(i / 5), static_cast<int>(i % 5));
        presetButtons_.push_back(button);
    }
    column->addLayout(grid);

    connect(&model, &EditorModel::changed, this, &BadgeRotationControl::follow);
    refresh();
}

bool BadgeRotationControl::isChosen(double rotation, double preset) { return std::abs(rotation - preset) < 0.5; }

void BadgeRotationControl::refresh()
{
    if (!model_)
        return;
    const double rotation = model_->currentBadgeRotation();
    value_->setText(degrees(rotation) + QStringLiteral("°"));
    if (!slider_->isSliderDown())
        slider_->showValue(rotation);
    for (size_t i = 0; i < presets.size(); ++i)
        paintPreset(presetButtons_[i], isChosen(rotation, presets[i]));
    setEnabled(model_->activeAnnotationTool() == MarkupTool::badge);
}

void BadgeRotationControl::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (model_)
        model_->finishControlEdit();
}

} // namespace tarn
