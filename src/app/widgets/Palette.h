// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace tarn::Palette {

// The fixed dark colours every window takes its backgrounds, text and accents from (sRGB,
// opaque). Views pick them by role.
inline const QColor background{0x10, 0x15, 0x1C};
inline const QColor sidebar{0x0C, 0x11, 0x17};
inline const QColor surface{0x18, 0x21, 0x2B};
inline const QColor raised{0x20, 0x2B, 0x36};
inline const QColor border{0x2A, 0x35, 0x41};
inline const QColor text{0xED, 0xF2, 0xF5};
inline const QColor muted{0x87, 0x96, 0xA5};
inline const QColor accent{0xCE, 0xFA, 0xA0};
inline const QColor teal{0x7C, 0xE6, 0xCB};
inline const QColor coral{0xFF, 0x86, 0x78};

} // namespace tarn::Palette
