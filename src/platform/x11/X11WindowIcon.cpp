// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11WindowIcon.h"

#include <xcb/xcb.h>

namespace tarn::X11 {

QImage pickIcon(const std::vector<uint32_t> &data, int size)
{
    size_t best = data.size();
    uint32_t bestWidth = 0;
    uint32_t bestHeight = 0;
    const auto better = [&](uint32_t width, uint32_t height) {
        if (best == data.size())
            return true;
        const uint32_t edge = std::max(width, height);
        const uint32_t bestEdge = std::max(bestWidth, bestHeight);
        const bool big = edge >= uint32_t(size);
        const bool bestBig = bestEdge >= uint32_t(size);
        if (big != bestBig)
            return big;
        return big ? edge < bestEdge : edge > bestEdge;
    };
    for (size_t at = 0; at + 2 <= data.size();) {
        const uint32_t width = data[at];
        const uint32_t height = data[at + 1];
        if (width == 0 || height == 0 || width > 1024 || height > 1024)
            break;
        const size_t pixels = size_t(width) * height;
        if (pixels > data.size() - at - 2)
            break;
        if (better(width, height)) {
            best = at;
            bestWidth = width;
            bestHeight = height;
        }
        at += 2 + pixels;
    }
    if (best == data.size())
        return {};
    QImage image(int(bestWidth), int(bestHeight), QImage::Format_ARGB32);
    const uint32_t *pixels = data.data() + best + 2;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = pixels[size_t(y) * bestWidth + x];
    }
    return image;
}

QImage windowIcon(Connection &connection, uint32_t window, int size)
{
    if (!connection.ok())
        return {};
    const auto data = connection.cardinals(window, connection.atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL);
    return data ? pickIcon(*data, size) : QImage();
}

} // namespace tarn::X11
