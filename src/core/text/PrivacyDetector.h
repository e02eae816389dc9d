// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>

#include "core/base/EnumNames.h"
#include "core/model/TextRegion.h"

namespace tarn {

// A kind of sensitive content a recognized line can hold. Stored by its case name.
enum class SensitiveKind { email, phone, credential, paymentCard };

template <> struct EnumNames<SensitiveKind> {
    static constexpr std::array values{
        std::pair{SensitiveKind::email, std::string_view("email")},
        std::pair{SensitiveKind::phone, std::string_view("phone")},
        std::pair{SensitiveKind::credential, std::string_view("credential")},
        std::pair{SensitiveKind::paymentCard, std::string_view("paymentCard")},
    };
};

// The Korean name the privacy panel shows for a kind.
QString label(SensitiveKind kind);

// A whole recognized line that holds sensitive content, with the kinds found in it (each
// once, in the order found, never none). It is identified by its region.
struct PrivacySuggestion {
    TextRegion region;
    std::vector<SensitiveKind> kinds;

    const Uuid &id() const { return region.id; }

    friend bool operator==(const PrivacySuggestion &, const PrivacySuggestion &) = default;
};

// Finds lines with e-mail addresses, phone numbers, credentials and payment card numbers.
// Local and stateless apart from the compiled patterns; any thread may call it.
namespace PrivacyDetector {

// One suggestion per region that holds anything sensitive, in region order.
std::vector<PrivacySuggestion> suggestions(const std::vector<TextRegion> &regions);

// Whether the digits of `text` (every character with a whole-number value; all else ignored)
// form a plausible card number: 13 to 19 digits, not all the same, a valid Luhn sum.
bool passesLuhn(const std::string &text);

} // namespace PrivacyDetector

} // namespace tarn
