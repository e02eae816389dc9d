// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorCanvas.h"

#include <algorithm>

#include <QVBoxLayout>

#include "app/editor/CanvasHints.h"
#include "app/editor/EditorModel.h"
#include "app/editor/ImageEditingView.h"
#include "app/widgets/MarkupDisplay.h"

namespace tarn {

EditorCanvas::EditorCanvas(EditorModel &model, QWidget *parent)
    : QWidget(parent),
      model_(model),
      view_(new ImageEditingView(model, this))
{
    setObjectName(QStringLiteral("editorCanvas"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    connect(&model_, &EditorModel::changed, this, &EditorCanvas::follow);
    connect(&model_, &EditorModel::zoomChanged, this, &EditorCanvas::zoomChanged);
    follow();
}

double EditorCanvas::zoom() const { return model_.zoom(); }

void EditorCanvas::setZoom(double zoom) { model_.setZoom(std::clamp(zoom, minimumZoom, maximumZoom)); }

void EditorCanvas::fit()
{
    model_.setZoom(1);
    model_.resetCanvas();
}

void EditorCanvas::follow()
{
    view_->refresh();
    const QString label = tarn::label(model_.tool());
    if (label != toolLabel_) {
        toolLabel_ = label;
        Q_EMIT toolLabelChanged(toolLabel_);
    }
    const auto selectedTool =
        model_.selectedAnnotationID() ? std::optional<MarkupTool>(model_.activeAnnotationTool()) : std::nullopt;
    const QString hint = CanvasHints::canvasHint(selectedTool, model_.tool());
    if (hint != hint_) {
        hint_ = hint;
        Q_EMIT hintChanged(hint_);
    }
}

} // namespace tarn
