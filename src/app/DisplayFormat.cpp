#include "app/DisplayFormat.h"

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
        return QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(hours),
                                 static_cast<long long>(minutes), static_cast<long long>(rest));
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(minutes), static_cast<long long>(rest));
}

} // namespace tarn::DisplayFormat
