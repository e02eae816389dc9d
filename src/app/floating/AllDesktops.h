// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace tarn {

// Keeps a floating window on every desktop each time it is shown, also when something else
// (the capture hiding our windows for a grab) hides and shows it again: the window manager
// forgets a hidden window's desktop.
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
