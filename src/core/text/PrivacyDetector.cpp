// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/PrivacyDetector.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <set>

#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace tarn {

QString label(SensitiveKind kind)
{
    switch (kind) {
    case SensitiveKind::email:
        return QStringLiteral("이메일");
    case SensitiveKind::phone:
        return QStringLiteral("전화번호");
    case SensitiveKind::credential:
        return QStringLiteral("인증 정보");
    case SensitiveKind::paymentCard:
        return QStringLiteral("카드 번호");
    }
    return {};
}

namespace {

// ICU regular expressions, character for character; case-insensitive.
constexpr std::array<std::pair<SensitiveKind, const char *>, 4> patternRows{{
    {SensitiveKind::email, R"([A-Z0-9._%+\-]+@[A-Z0-9.\-]+\.[A-Z]{2,})"},
    // Korean mobile numbers, optionally with the +82 country code.
    {SensitiveKind::phone, R"((?<!\d)(?:\+82[\s.\-]?(?:0)?1[016789]|01[016789])[\s.\-]?\d{3,4}[\s.\-]?\d{4}(?!\d))"},
    // Ten-digit numbers in groups of 3-3-4, optionally +1 and a parenthesised area code.
    {SensitiveKind::phone, R"((?<!\d)(?:\+1[\s.\-]?)?\(?\d{3}\)?[\s.\-]\d{3}[\s.\-]\d{4}(?!\d))"},
    // Access keys, payment API keys, GitHub tokens, bearer tokens and "password: ..." pairs.
    {SensitiveKind::credential,
     R"(\b(?:AKIA|ASIA)[A-Z0-9]{16}\b|\b(?:sk|pk)_(?:live|test)_[A-Z0-9]{12,}|\bgh[pousr]_[A-Z0-9]{20,}|\bBearer\s+[A-Z0-9._\-]{16,}|(?:password|passwd|비밀번호|api[_\s-]?key|secret)\s*[:=]\s*\S+)"},
}};

// 13 to 19 digits, single blanks or hyphens allowed between neighbours, no digit either side.
constexpr const char *cardPattern = R"((?<!\d)(?:\d[ -]?){12,18}\d(?!\d))";

std::unique_ptr<icu::RegexPattern> compile(const char *pattern, uint32_t flags)
{
    UParseError where{};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(pattern), flags, where, status));
    if (U_FAILURE(status))
        return nullptr; // the row is left out; the others keep their order
    return compiled;
}

struct PatternRow {
    SensitiveKind kind;
    std::unique_ptr<icu::RegexPattern> pattern;
};

// Compiled once, on first use (thread-safe static initialisation), read-only afterwards.
const std::vector<PatternRow> &patternTable()
{
    static const std::vector<PatternRow> table = [] {
        std::vector<PatternRow> rows;
        for (const auto &[kind, pattern] : patternRows)
            if (auto compiled = compile(pattern, UREGEX_CASE_INSENSITIVE))
                rows.push_back({kind, std::move(compiled)});
        return rows;
    }();
    return table;
}

// A pattern is shared by all threads; each search makes its own matcher.
bool hasMatch(const icu::RegexPattern &pattern, const icu::UnicodeString &text)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(text, status));
    return U_SUCCESS(status) && matcher->find(status) && U_SUCCESS(status);
}

bool containsPaymentCard(const icu::UnicodeString &text)
{
    static const std::unique_ptr<icu::RegexPattern> card = compile(cardPattern, 0);
    if (!card)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(card->matcher(text, status));
    if (U_FAILURE(status))
        return false;
    while (matcher->find(status) && U_SUCCESS(status)) {
        const int32_t start = matcher->start(status), end = matcher->end(status);
        if (U_FAILURE(status))
            return false;
        std::string digits;
        text.tempSubStringBetween(start, end).toUTF8String(digits);
        if (PrivacyDetector::passesLuhn(digits))
            return true;
    }
    return false;
}

} // namespace

namespace PrivacyDetector {

std::vector<PrivacySuggestion> suggestions(const std::vector<TextRegion> &regions)
{
    std::vector<PrivacySuggestion> found;
    for (const auto &region : regions) {
        const icu::UnicodeString text = icu::UnicodeString::fromUTF8(region.text);
        std::vector<SensitiveKind> kinds;
        for (const auto &row : patternTable())
            if (std::find(kinds.begin(), kinds.end(), row.kind) == kinds.end() && hasMatch(*row.pattern, text))
                kinds.push_back(row.kind);
        if (containsPaymentCard(text))
            kinds.push_back(SensitiveKind::paymentCard);
        if (!kinds.empty())
            found.push_back({region, std::move(kinds)});
    }
    return found;
}

bool passesLuhn(const std::string &text)
{
    std::vector<int64_t> digits;
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    for (int32_t i = 0; i < unicode.length(); i = unicode.moveIndex32(i, 1)) {
        const double value = u_getNumericValue(unicode.char32At(i));
        if (value == U_NO_NUMERIC_VALUE || value < 0 || value != std::floor(value) || value > 1e15)
            continue; // not a whole number: blanks, hyphens, letters, fractions
        digits.push_back(int64_t(value));
    }
    if (digits.size() < 13 || digits.size() > 19)
        return false;
    if (std::set<int64_t>(digits.begin(), digits.end()).size() < 2)
        return false;
    int64_t sum = 0;
    for (size_t position = 0; position < digits.size(); ++position) {
        int64_t value = digits[digits.size() - 1 - position];
        if (position % 2 == 1) {
            value *= 2;
            if (value > 9)
                value -= 9;
        }
        sum += value;
    }
    return sum % 10 == 0;
}

} // namespace PrivacyDetector

} // namespace tarn
