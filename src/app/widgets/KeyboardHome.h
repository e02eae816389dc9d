// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tarn::KeyboardHome {

// Keeps the keyboard with `home` (a canvas, say) while the user works the controls around it
// in `area`: a click on a control that is not a text field leaves the keyboard where it was (the
// control can still be reached with Tab), and a text field gives the keyboard back to `home` on
// Escape or Return (Shift+Return still breaks a line in a field of several lines). Widgets
// that join `area` later are treated when they are first shown; separate windows such as
// popups and alerts keep their own ways. `home` starts with the keyboard of its window.
void keepWith(QWidget &area, QWidget &home);

// Whether a widget takes typing: a line or text field, or text the user can select and copy.
bool takesText(const QWidget &widget);

} // namespace tarn::KeyboardHome
