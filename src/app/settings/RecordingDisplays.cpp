// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/RecordingDisplays.h"

#include <algorithm>

namespace tarn::RecordingDisplays {
namespace {

std::optional<uint32_t> idNamed(const std::vector<DisplayChoice> &choices, const QString &name)
{
    for (const DisplayChoice &choice : choices)
        if (choice.name == name)
            return choice.displayID;
    return std::nullopt;
}

bool offered(const std::vector<DisplayChoice> &choices, uint32_t id)
{
    return std::any_of(choices.begin(), choices.end(), [&](const DisplayChoice &c) { return c.displayID == id; });
}

// Two monitors of one model would read the same: each then says which connector it is on.
void tellApart(std::vector<DisplayChoice> &choices)
{
    std::vector<QString> labels;
    for (const DisplayChoice &choice : choices)
        labels.push_back(choice.label);
    for (DisplayChoice &choice : choices)
        if (choice.label != choice.name && std::count(labels.begin(), labels.end(), choice.label) > 1)
            choice.label += QStringLiteral(" (") + choice.name + QLatin1Char(')');
}

} // namespace

QString monitorName(const QString &manufacturer, const QString &model)
{
    const QString product = model.simplified();
    return product.isEmpty() ? manufacturer.simplified() : product;
}

std::vector<DisplayChoice> choices(const std::vector<ScreenName> &screens, const std::vector<DisplayInfo> &displays)
{
    std::vector<DisplayChoice> result;
    for (const ScreenName &screen : screens) {
        const QString &name = screen.connector;
        const auto display = std::find_if(displays.begin(), displays.end(),
                                          [&](const DisplayInfo &d) { return !name.isEmpty() && d.name == name; });
        if (display == displays.end() || offered(result, display->id))
            continue;
        result.push_back({display->id, name, screen.monitor.isEmpty() ? name : screen.monitor});
    }
    tellApart(result);
    return result;
}

std::optional<uint32_t> preselected(const std::vector<DisplayChoice> &choices, const QString &screenName,
                                    const std::vector<DisplayInfo> &displays)
{
    if (const auto id = idNamed(choices, screenName))
        return id;
    for (const DisplayInfo &display : displays)
        if (display.primary && offered(choices, display.id))
            return display.id;
    if (choices.empty())
        return std::nullopt;
    return choices.front().displayID;
}

} // namespace tarn::RecordingDisplays
