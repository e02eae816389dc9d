// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <vector>

#include <QString>

#include "core/model/CaptureItem.h"

class QAction;
class QMenu;
class QWidget;

namespace tarn {

// What a per-capture control asks the application to do with its capture. `trash` moves the
// one capture to the trash, or back out of it when it is there; the two bulk commands act on
// the selection.
enum class CaptureCommand { open, copy, exportFile, pin, favorite, trash, trashSelected, restoreSelected };

// One line of the capture menu: a command with its title and symbol, or a divider.
struct CaptureMenuEntry {
    bool divider = false;
    QString title;
    QString symbol;
    CaptureCommand command = CaptureCommand::open;
    bool destructive = false;

    friend bool operator==(const CaptureMenuEntry &, const CaptureMenuEntry &) = default;
};

namespace CaptureMenu {

// The entries for a capture and the selection as it is when the menu opens. The trash and
// restore entries act on the selection when it holds this capture and at least one other.
std::vector<CaptureMenuEntry> entries(const CaptureItem &item, const std::set<Uuid> &selection);

// A menu of those entries; each action carries its command (QAction::data() as an int).
QMenu *build(const std::vector<CaptureMenuEntry> &entries, QWidget *parent);
// The command of an action of such a menu.
CaptureCommand command(const QAction *action);

} // namespace CaptureMenu

} // namespace tarn
