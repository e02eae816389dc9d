// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace tarn {

// Keeps a floating window on every desktop each time it is shown, also when something else
// (the capture hiding our windows for a grab) hides and shows it again: the window manager
// forgets a hidden window's desktop. It stands alone there, in a window group of its own: no
// window manager takes it for a palette of the library or an editor, to be hidden with them.
class AllDesktops : public QObject {
    Q_OBJECT
public:
    static void keep(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

} // namespace tarn
