// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace tarn {

// The commands of the menus, the status menu and the hot keys, each carried out by the
// application delegate (which forwards most of them to the application model).
enum class AppCommand {
    showAbout,
    showSettings,
    hide,
    quit,
    captureRegion,
    captureWindow,
    captureDisplay,
    record, // starts a recording through its sheet, or stops the one running
    captureText,
    importFiles,
    search,
    showLibrary,
    closePins,
    showShortcuts,
    showPermissions,
};

// The command of a global hot key: 1 region, 2 window, 3 display, 4 recording, 5 text.
inline std::optional<AppCommand> hotKeyCommand(uint32_t identifier)
{
    switch (identifier) {
    case 1:
        return AppCommand::captureRegion;
    case 2:
        return AppCommand::captureWindow;
    case 3:
        return AppCommand::captureDisplay;
    case 4:
        return AppCommand::record;
    case 5:
        return AppCommand::captureText;
    default:
        return std::nullopt;
    }
}

} // namespace tarn
