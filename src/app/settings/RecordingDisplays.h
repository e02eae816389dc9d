// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/ScreenSource.h"

namespace tarn {

// A screen as the system lists it: its connector ("DP-1", the name its display goes by) and the
// name of the monitor on it when the X server read one from the monitor's EDID.
struct ScreenName {
    QString connector;
    QString monitor;
};

// One display the recording sheet offers: its own identity (the RandR output), its connector
// name and what the picker shows for it.
struct DisplayChoice {
    uint32_t displayID = 0;
    QString name;
    QString label;

    bool operator==(const DisplayChoice &) const = default;
};

// The displays a recording can be made of, as the recording sheet lists them.
namespace RecordingDisplays {

// The monitor's own name from what its EDID gives: the model's name (which names its maker as
// a rule; the manufacturer's registered name is long, "Goldstar Company Ltd" for an LG), else
// the manufacturer; empty when neither is known.
QString monitorName(const QString &manufacturer, const QString &model);

// One entry per screen, in the order of `screens` (the system's screen order), for each screen
// that has a display of its own among `displays`. A screen without one is left out rather than
// listed under another display's identity, which would record the wrong screen; a display
// listed twice under one name is offered once. An entry is labelled with its monitor's name, or
// its connector when the monitor has none; monitors of the same name add their connectors.
std::vector<DisplayChoice> choices(const std::vector<ScreenName> &screens, const std::vector<DisplayInfo> &displays);

// The entry of the named screen, else of the primary display, else the first; nullopt for an
// empty list.
std::optional<uint32_t> preselected(const std::vector<DisplayChoice> &choices, const QString &screenName,
                                    const std::vector<DisplayInfo> &displays);

} // namespace RecordingDisplays
} // namespace tarn
