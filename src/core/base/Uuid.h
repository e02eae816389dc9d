// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace tarn {

// A 128-bit identifier whose text form is the upper-case, hyphenated 36-character form.
class Uuid {
public:
    Uuid() = default; // the nil identifier
    static Uuid random();
    // Accepts exactly 8-4-4-4-12 hexadecimal digits, upper or lower case.
    static std::optional<Uuid> parse(std::string_view text);

    std::string toString() const;
    QString toQString() const { return QString::fromStdString(toString()); }
    bool isNil() const;
    const std::array<uint8_t, 16> &bytes() const { return bytes_; }

    friend bool operator==(const Uuid &, const Uuid &) = default;
    friend auto operator<=>(const Uuid &, const Uuid &) = default;

private:
    std::array<uint8_t, 16> bytes_{};
};

} // namespace tarn

template <> struct std::hash<tarn::Uuid> {
    size_t operator()(const tarn::Uuid &id) const noexcept;
};
