// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tarn::KeyboardKeeper {

// Gives the keyboard back to a control of `window` (or of a sheet it owns) that lost it by being
// disabled, once the control is enabled again: while the library is busy its controls are
// disabled, and Qt then drops the keyboard altogether, so a capture started with Space on its
// button came back with the window's first control holding the keyboard. A key or a click of
// the user's own in the meantime leaves the keyboard where the user put it.
void keep(QWidget &window);

// Whether a widget lies in `window` or in a window it owns (a sheet, a menu).
bool belongsTo(const QWidget &widget, const QWidget &window);

} // namespace tarn::KeyboardKeeper
