// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/capture/ShareableContent.h"

namespace tarn::TestSupport {

// A window as the window list names it: its identifier, title and application.
inline ShareableWindow listedWindow(uint32_t id, const QString &title, const QString &application)
{
    ShareableWindow window;
    window.windowID = id;
    window.title = title;
    window.applicationName = application;
    return window;
}

} // namespace tarn::TestSupport
