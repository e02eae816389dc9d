// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/TrayStatusItem.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {

namespace {

// The symbol on a dark rounded plate: status areas come in light and dark, and the plate keeps
// the symbol readable on both.
QPixmap plated(const QString &symbol, const QColor &tint, int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0, 0, size, size), size * 0.22, size * 0.22);
    painter.fillPath(plate, Palette::background);
    const int inner = qRound(size * 0.7);
    const QImage image = Theme::symbolImage(symbol, tint, inner, 1.0);
    if (!image.isNull())
        painter.drawImage(QPointF((size - image.width()) / 2.0, (size - image.height()) / 2.0), image);
    return picture;
}

// Tray hosts ask for sizes from 16 to about 48 pixels; each gets a sharp picture.
QIcon tintedIcon(const QString &symbol, const QColor &tint)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48})
        icon.addPixmap(plated(symbol, tint, size));
    return icon;
}

} // namespace

TrayStatusItem::TrayStatusItem(QObject *parent) : StatusItem(parent)
{
    connect(&tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT activated();
    });
}

void TrayStatusItem::setSymbol(const QString &symbol, const QColor &tint)
{
    symbol_ = symbol;
    tint_ = tint;
    tray_.setIcon(tintedIcon(symbol, tint));
}

void TrayStatusItem::setToolTip(const QString &text) { tray_.setToolTip(text); }

void TrayStatusItem::setMenu(QMenu *menu) { tray_.setContextMenu(menu); }

void TrayStatusItem::show() { tray_.show(); }

} // namespace tarn
