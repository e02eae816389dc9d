// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11Displays.h"

#include <xcb/randr.h>

namespace tarn::X11 {
namespace {

DisplayInfo wholeRoot(Connection &connection)
{
    connection.refreshRootSize();
    return {connection.root(), QString(), QRect(0, 0, connection.rootWidth(), connection.rootHeight()), true};
}

} // namespace

std::vector<DisplayInfo> displays(Connection &connection)
{
    xcb_connection_t *c = connection.get();
    const auto *extension = xcb_get_extension_data(c, &xcb_randr_id);
    if (!extension || !extension->present)
        return {wholeRoot(connection)};
    auto version = reply(xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    if (!version || (version->major_version == 1 && version->minor_version < 5))
        return {wholeRoot(connection)};

    auto monitors = reply(xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, connection.root(), 1), nullptr));
    if (!monitors)
        return {wholeRoot(connection)};
    std::vector<DisplayInfo> result;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem; xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t *monitor = it.data;
        DisplayInfo info;
        const int outputCount = xcb_randr_monitor_info_outputs_length(monitor);
        info.id = outputCount > 0 ? xcb_randr_monitor_info_outputs(monitor)[0] : monitor->name;
        info.name = QString::fromStdString(connection.atomName(monitor->name));
        info.nativeRect = QRect(monitor->x, monitor->y, monitor->width, monitor->height);
        info.primary = monitor->primary != 0;
        if (!info.nativeRect.isEmpty())
            result.push_back(std::move(info));
    }
    if (result.empty())
        return {wholeRoot(connection)};
    return result;
}

} // namespace tarn::X11
