// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace tarn {

// Each stored enumeration lists its cases with their case names, in declaration order:
//   template <> struct EnumNames<MarkupTool> { static constexpr std::array values{...}; };
// The case name is the stored form and the only accepted spelling when reading.
template <typename E> struct EnumNames;

template <typename E> constexpr std::string_view caseName(E value)
{
    for (const auto &[v, name] : EnumNames<E>::values)
        if (v == value)
            return name;
    return {};
}

template <typename E> constexpr std::optional<E> caseFromName(std::string_view name)
{
    for (const auto &[v, n] : EnumNames<E>::values)
        if (n == name)
            return v;
    return std::nullopt;
}

template <typename E> constexpr auto allCases()
{
    std::array<E, EnumNames<E>::values.size()> cases{};
    for (size_t i = 0; i < cases.size(); ++i)
        cases[i] = EnumNames<E>::values[i].first;
    return cases;
}

} // namespace tarn
