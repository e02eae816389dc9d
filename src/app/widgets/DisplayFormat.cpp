// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/DisplayFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarn::DisplayFormat {

QString duration(double seconds)
{
    if (!std::isfinite(seconds))
        return QStringLiteral("00:00");
    // Clamped into the range of a 64-bit count so that absurd values cannot overflow.
    const double whole = std::clamp(std::trunc(seconds), 0.0, 9.0e18);
    const auto total = static_cast<int64_t>(whole);
    const int64_t hours = total / 3600;
    const int64_t minutes = total % 3600 / 60;
    const int64_t rest = total % 60;
    if (total >= 3600)
        return QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(hours), static_cast<long long>(minutes),
                                 static_cast<long long>(rest));
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(minutes), static_cast<long long>(rest));
}

} // namespace tarn::DisplayFormat

namespace tarn::DisplayFormat {

QString byteCount(long long bytes)
{
    if (bytes <= 0)
        return QStringLiteral("0 KB");
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    // The unit follows the figure as rounded, so that 999,999 bytes read 1.0 MB, not 1000 KB.
    const long long kilo = std::llround(bytes / 1e3);
    if (kilo < 1000)
        return QStringLiteral("%1 KB").arg(kilo);
    const double mega = bytes / 1e6;
    if (std::round(mega * 10) < 10'000)
        return QStringLiteral("%1 MB").arg(mega, 0, 'f', 1);
    return QStringLiteral("%1 GB").arg(bytes / 1e9, 0, 'f', 2);
}

} // namespace tarn::DisplayFormat
