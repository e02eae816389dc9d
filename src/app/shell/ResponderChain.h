// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/widgets/MenuResponder.h"

class QWidget;

namespace tarn::ResponderChain {

// Whether something on the path from the focused widget (else the active window) out to its
// window answers the action: a text field for the text-editing commands, a MenuResponder for
// what it says it answers, and any window for closing.
bool answers(ResponderAction action);
// Carries the action out on the first widget on that path that answers it; nothing otherwise.
void perform(ResponderAction action);

// The widget the search starts from: the focused widget, else the active window.
QWidget *start();

} // namespace tarn::ResponderChain
