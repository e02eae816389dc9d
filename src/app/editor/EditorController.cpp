// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorController.h"

namespace tarn {

void EditorController::bringToFront() const
{
    if (QWidget *shown = window()) {
        shown->show();
        shown->raise();
        shown->activateWindow();
    }
}

} // namespace tarn
