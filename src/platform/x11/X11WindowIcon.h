// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include <QImage>

#include "platform/x11/X11Connection.h"

namespace tarn::X11 {

// The icon a client publishes in _NET_WM_ICON, the one closest to `size` pixels (the smallest
// at least that big, else the largest); null when it has none.
QImage windowIcon(Connection &connection, uint32_t window, int size);

// The same choice from the property's cardinals (width, height, then width x height ARGB
// pixels, repeated). Entries that claim more pixels than the data holds are ignored.
QImage pickIcon(const std::vector<uint32_t> &data, int size);

} // namespace tarn::X11
