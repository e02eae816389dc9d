// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QObject>

#include "app/shell/AppCommand.h"

class QMenu;

namespace tarn {

// The menu of the status item. Its items are made afresh each time it is about to open and on
// every change of the recorder's state, so that the recording item names what it will do. The
// shortcuts it shows are the hot keys' and belong to the menu alone: the main menu's items for
// the same keys stay the only ones that react to them in a window.
class StatusMenu : public QObject {
    Q_OBJECT

public:
    explicit StatusMenu(QObject *parent = nullptr);
    ~StatusMenu() override;

    QMenu *menu() const { return menu_.get(); }
    // Replaces every item; `recording` is true while the recorder is not idle.
    void rebuild(bool recording);

Q_SIGNALS:
    void commandTriggered(tarn::AppCommand command);
    // The menu is about to open: the owner rebuilds it with the current state.
    void aboutToShow();

private:
    std::unique_ptr<QMenu> menu_;
};

} // namespace tarn
