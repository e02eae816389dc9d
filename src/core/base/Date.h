// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <functional>

#include <QDateTime>

namespace tarn {

// A point in time as seconds since 2001-01-01 00:00:00 UTC, the stored form of every date.
struct Date {
    double secondsSinceReferenceDate = 0;

    static constexpr double unixOffset = 978307200.0; // 2001-01-01 in Unix seconds

    static Date now();
    static Date fromUnixSeconds(double seconds) { return {seconds - unixOffset}; }
    static Date fromDateTime(const QDateTime &dateTime);
    double unixSeconds() const { return secondsSinceReferenceDate + unixOffset; }
    QDateTime toDateTime() const; // UTC; invalid for a non-finite or unrepresentable date

    friend bool operator==(const Date &, const Date &) = default;
    friend auto operator<=>(const Date &, const Date &) = default;
};

} // namespace tarn

template <> struct std::hash<tarn::Date> {
    size_t operator()(const tarn::Date &date) const noexcept;
};
