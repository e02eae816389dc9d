// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/WindowPlacement.h"

#include <algorithm>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tarn::WindowPlacement {

QScreen *pointerScreen()
{
    if (QScreen *under = QGuiApplication::screenAt(QCursor::pos()))
        return under;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        return primary;
    const QList<QScreen *> screens = QGuiApplication::screens();
    return screens.isEmpty() ? nullptr : screens.front();
}

QScreen *screenHolding(const QRect &frame)
{
    QScreen *best = nullptr;
    qint64 bestArea = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect shared = screen->geometry().intersected(frame);
        const qint64 area = qint64(shared.width()) * shared.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

QPoint centredOrigin(QSize size, const QRect &available)
{
    return {available.x() + std::max(0, (available.width() - size.width()) / 2),
            available.y() + std::max(0, (available.height() - size.height()) / 2)};
}

void centreOn(QWidget *window, QScreen *screen)
{
    if (!screen)
        screen = pointerScreen();
    if (!screen)
        return;
    // Before the window manager has framed the window its frame is its own size; moving a
    // top-level window places its frame, so the title bar lands where the origin says.
    const QSize frame = window->frameGeometry().size().expandedTo(window->size());
    window->move(centredOrigin(frame, screen->availableGeometry()));
}

} // namespace tarn::WindowPlacement
