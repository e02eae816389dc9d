// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/Date.h"

#include <cmath>

#include "core/base/Hashing.h"

namespace tarn {

Date Date::now() { return fromUnixSeconds(static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0); }

Date Date::fromDateTime(const QDateTime &dateTime)
{
    return fromUnixSeconds(static_cast<double>(dateTime.toMSecsSinceEpoch()) / 1000.0);
}

QDateTime Date::toDateTime() const
{
    const double ms = std::round(unixSeconds() * 1000.0);
    // Stored files may hold any number: only convert what fits a 64-bit millisecond count.
    if (!std::isfinite(ms) || std::fabs(ms) > 9.0e15)
        return {};
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ms), Qt::UTC);
}

} // namespace tarn

size_t std::hash<tarn::Date>::operator()(const tarn::Date &date) const noexcept
{
    return tarn::Hashing::of(date.secondsSinceReferenceDate);
}
