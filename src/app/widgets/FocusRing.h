// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>

class QWidget;

namespace tarn::FocusRing {

// Rings the control that has the keyboard in `window` and in the sheets and menus it owns, for
// as long as the user works with the keyboard: the window's own controls paint no focus of
// their own, so without it Tab moves an invisible focus. A press of a mouse button takes the
// ring away until the next key; text fields show their caret instead.
void follow(QWidget &window);

// For a control that draws its face inset in its rectangle (a sidebar row's plate): its ring
// goes around the face, not around the whole row.
void insetFor(QWidget &control, QMargins face);

} // namespace tarn::FocusRing
