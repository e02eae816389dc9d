// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorPlaceholderView.h"

#include <QPainter>

#include "app/editor/EditorModel.h"
#include "app/widgets/Palette.h"
#include "core/render/RasterRenderer.h"
#include "core/render/RenderLayout.h"

namespace tarn {

namespace {
constexpr int margin = 32;
constexpr int statusHeight = 36;
} // namespace

EditorPlaceholderView::EditorPlaceholderView(EditorModel &model, QWidget *parent) : QWidget(parent), model_(&model)
{
    setObjectName(QStringLiteral("editor.placeholder"));
    connect(&model, &EditorModel::changed, this, qOverload<>(&QWidget::update));
}

void EditorPlaceholderView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::background);
    if (!model_)
        return;
    const QImage &image = model_->image();
    const RenderLayout layout(image.width(), image.height(), model_->document());
    const QRectF area = QRectF(rect()).adjusted(margin, margin, -margin, -margin - statusHeight);
    const QSizeF size = layout.size();
    if (size.isEmpty() || area.isEmpty())
        return;
    const double scale = std::min(area.width() / size.width(), area.height() / size.height());
    painter.save();
    painter.translate(area.center() - QPointF(size.width() * scale, size.height() * scale) / 2);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    try {
        RasterRenderer::draw(image, model_->document(), painter);
    } catch (...) {
        // A picture that cannot be drawn leaves the plate empty; the status line still shows.
    }
    painter.restore();

    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    // Until the editor view's alert exists, an error takes the status line's place.
    const std::optional<QString> &error = model_->errorMessage();
    painter.setPen(error ? Palette::coral : Palette::muted);
    const QRect status(margin, height() - margin - statusHeight, width() - 2 * margin, statusHeight);
    painter.drawText(status, Qt::AlignLeft | Qt::AlignVCenter, error ? *error : model_->message());
}

} // namespace tarn
