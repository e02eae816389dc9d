// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace tarn {

// X11 cannot leave one client's windows out of a screen grab, so a still capture hides every
// visible top-level window of this process (pins, panels, HUD) around the grab and shows them
// again afterwards, without taking the focus. The tray icon, part of the panel, stays.
class OwnWindows {
public:
    // Hides every visible top-level widget but the tray icon and remembers it.
    static OwnWindows hideVisible();
    bool isEmpty() const { return widgets_.isEmpty(); }
    // Shows the remembered widgets that still exist; a second call does nothing.
    void restore();

    // The status item's window, embedded in the panel's tray. Nothing hides or minimizes it: a
    // tray host drops an icon whose window is unmapped, and maps it again as a one-pixel sliver.
    static bool isTrayIcon(const QWidget *widget);

private:
    QList<QPointer<QWidget>> widgets_;
};

} // namespace tarn
