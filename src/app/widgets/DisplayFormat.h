// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarn::DisplayFormat {

// A duration as "mm:ss", or "h:mm:ss" from one hour on; fractions of a second are dropped,
// negative values count as 0 and values that are not finite give "00:00".
QString duration(double seconds);

} // namespace tarn::DisplayFormat

namespace tarn::DisplayFormat {

// A file size in decimal units: "0 KB", "512 B", "12 KB", "3.4 MB", "1.25 GB"; negative
// counts count as 0.
QString byteCount(long long bytes);

} // namespace tarn::DisplayFormat
