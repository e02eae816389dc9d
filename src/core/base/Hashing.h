// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarn::Hashing {

// Mixes one more value into a running hash (the boost recipe, widened to 64 bits).
inline void combine(size_t &seed, size_t value) { seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 12) + (seed >> 4); }

// Doubles hash by value so that -0 and +0, which compare equal, also hash equal.
inline size_t of(double value)
{
    if (value == 0.0)
        value = 0.0;
    return std::hash<double>{}(value);
}
inline size_t of(float value) { return of(static_cast<double>(value)); }

template <typename T> size_t of(const T &value) { return std::hash<T>{}(value); }

template <typename T> size_t of(const std::optional<T> &value) { return value ? of(*value) * 31 + 1 : 0; }

template <typename T> size_t of(const std::vector<T> &values)
{
    size_t seed = values.size();
    for (const auto &v : values)
        combine(seed, of(v));
    return seed;
}

template <typename... Fields> size_t all(const Fields &...fields)
{
    size_t seed = 0;
    (combine(seed, of(fields)), ...);
    return seed;
}

} // namespace tarn::Hashing
