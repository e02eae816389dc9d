// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/SelectionToggle.h"

#include <QPainter>
#include <QSignalBlocker>

#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"

namespace tarn {

namespace {

constexpr qreal boxSide = 14;
constexpr qreal boxRadius = 4;

} // namespace

SelectionToggle::SelectionToggle(QWidget *parent) : QCheckBox(parent)
{
    setFixedSize(side, side);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        Q_EMIT selectionRequested(id_, checked);
        // The model answered synchronously through showSelected, or refused: either way the
        // box shows the selection as it is now.
        showSelected(selected_);
    });
}

QString SelectionToggle::objectNameFor(const Uuid &id)
{
    return QStringLiteral("capture.select.") + QString::fromStdString(id.toString()).toUpper();
}

void SelectionToggle::bind(const CaptureItem &item, bool selected)
{
    if (item.id != id_) {
        id_ = item.id;
        setObjectName(objectNameFor(id_));
    }
    const QString name = QString::fromStdString(item.title) + QStringLiteral(" 선택");
    if (name != accessibleName()) {
        setText(name);
        setAccessibleName(name);
    }
    showSelected(selected);
}

void SelectionToggle::showSelected(bool selected)
{
    selected_ = selected;
    if (isChecked() == selected)
        return;
    const QSignalBlocker quiet(this);
    setChecked(selected);
    update();
}

void SelectionToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(ViewKit::disabledOpacity);
    const QRectF box((width() - boxSide) / 2, (height() - boxSide) / 2, boxSide, boxSide);
    const QPainterPath shape = ViewKit::roundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), boxRadius);
    if (!isChecked()) {
        painter.fillPath(shape, QColor(255, 255, 255, 20));
        painter.setPen(QPen(ViewKit::faded(Palette::text, 0.55), 1));
        painter.drawPath(shape);
        return;
    }
    painter.fillPath(shape, Palette::accent);
    QPainterPath tick;
    tick.moveTo(box.left() + 3.5, box.center().y() + 0.2);
    tick.lineTo(box.left() + 6, box.bottom() - 3.8);
    tick.lineTo(box.right() - 3.2, box.top() + 3.8);
    painter.setPen(QPen(Palette::sidebar, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
}

} // namespace tarn
