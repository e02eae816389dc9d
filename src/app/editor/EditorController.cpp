// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorController.h"

#include "app/flows/AppWindows.h"

namespace tarn {

void EditorController::bringToFront() const
{
    if (QWidget *shown = window())
        AppWindows::bringForward(shown);
}

} // namespace tarn
