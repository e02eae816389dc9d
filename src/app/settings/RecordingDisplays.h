// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/ScreenSource.h"

namespace tarn {

// One display the recording sheet offers: its own identity (the RandR output) and its name.
struct DisplayChoice {
    uint32_t displayID = 0;
    QString name;

    bool operator==(const DisplayChoice &) const = default;
};

// The displays a recording can be made of, as the recording sheet lists them.
namespace RecordingDisplays {

// One entry per screen, in the order of `screenNames` (the system's screen order), for each
// screen that has a display of its own among `displays`. A screen without one is left out
// rather than listed under another display's identity, which would record the wrong screen;
// a display listed twice under one name is offered once.
std::vector<DisplayChoice> choices(const QStringList &screenNames, const std::vector<DisplayInfo> &displays);

// The entry of the named screen, else of the primary display, else the first; nullopt for an
// empty list.
std::optional<uint32_t> preselected(const std::vector<DisplayChoice> &choices, const QString &screenName,
                                    const std::vector<DisplayInfo> &displays);

} // namespace RecordingDisplays
} // namespace tarn
