// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/SearchQuery.h"

#include <memory>
#include <optional>

#include <unicode/brkiter.h>
#include <unicode/gregocal.h>
#include <unicode/timezone.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "core/library/TextFolding.h"

namespace tarn {
namespace {

// A term as a list of user-perceived characters (grapheme clusters).
using Characters = std::vector<icu::UnicodeString>;

Characters characters(const icu::UnicodeString &text)
{
    Characters out;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) {
        for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1))
            out.emplace_back(text, i, text.moveIndex32(i, 1) - i);
        return out;
    }
    it->setText(text);
    int32_t start = it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next())
        out.emplace_back(text, start, end - start);
    return out;
}

// Terms separated by white space outside double quotation marks; the marks are dropped and an
// unclosed one keeps the rest of the text, white space included, in the last term.
std::vector<Characters> splitTerms(std::string_view text)
{
    const icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::vector<Characters> terms;
    Characters current;
    bool inQuotes = false;
    for (icu::UnicodeString &character : characters(unicode)) {
        if (character == icu::UnicodeString(u'"')) {
            inQuotes = !inQuotes;
        } else if (inQuotes || !u_isUWhiteSpace(character.char32At(0))) {
            current.push_back(std::move(character));
        } else if (!current.empty()) {
            terms.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty())
        terms.push_back(std::move(current));
    return terms;
}

// Splits at the first ":" into at most two non-empty pieces; an empty piece is left out and a
// colon that would end an empty piece does not count as the split (":type:image" gives "type"
// and "image", "tag::x" gives "tag" and ":x", "tag:" gives only "tag").
std::vector<Characters> splitAtColon(const Characters &term)
{
    const icu::UnicodeString colon(u':');
    std::vector<Characters> pieces;
    size_t start = 0;
    for (size_t i = 0; i < term.size(); ++i) {
        if (term[i] != colon)
            continue;
        const bool appended = i > start;
        if (appended)
            pieces.emplace_back(term.begin() + static_cast<std::ptrdiff_t>(start),
                                term.begin() + static_cast<std::ptrdiff_t>(i));
        start = i + 1;
        if (appended)
            break;
    }
    if (start < term.size())
        pieces.emplace_back(term.begin() + static_cast<std::ptrdiff_t>(start), term.end());
    return pieces;
}

std::string utf8(const Characters &characters)
{
    icu::UnicodeString joined;
    for (const auto &c : characters)
        joined.append(c);
    std::string out;
    joined.toUTF8String(out);
    return out;
}

std::string lowercased(const Characters &characters)
{
    icu::UnicodeString joined;
    for (const auto &c : characters)
        joined.append(c);
    joined.toLower(icu::Locale::getRoot());
    std::string out;
    joined.toUTF8String(out);
    return out;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Midnight at the start of a "yyyy-MM-dd" day (exactly four, two and two digits) in the
// system's current time zone; none for any other text or an impossible date.
std::optional<Date> startOfDay(const std::string &text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int numbers[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int part = 0; part < 3; ++part) {
        for (int i = 0; i < lengths[part]; ++i) {
            const char c = text[static_cast<size_t>(starts[part] + i)];
            if (c < '0' || c > '9')
                return std::nullopt;
            numbers[part] = numbers[part] * 10 + (c - '0');
        }
    }
    const int year = numbers[0], month = numbers[1], day = numbers[2];
    static constexpr int monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    if (day > monthDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0))
        return std::nullopt;

    UErrorCode status = U_ZERO_ERROR;
    // detectHostTimeZone reads the zone now (TZ included), not the one cached at start-up.
    icu::GregorianCalendar calendar(icu::TimeZone::detectHostTimeZone(), icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status))
        return std::nullopt;
    // Where a zone skips midnight, the day starts at the first moment that exists.
    calendar.setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    calendar.clear();
    calendar.set(year, month - 1, day, 0, 0, 0);
    const UDate milliseconds = calendar.getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return Date::fromUnixSeconds(milliseconds / 1000.0);
}

} // namespace

SearchText SearchText::of(const CaptureItem &item)
{
    SearchText prepared{TextFolding::fold(item.searchableText()), {}};
    prepared.tags.reserve(item.tags.size());
    for (const std::string &tag : item.tags)
        prepared.tags.push_back(TextFolding::fold(tag));
    return prepared;
}

SearchQuery::SearchQuery(std::string_view text)
{
    const icu::UnicodeString minus(u'-');
    for (Characters term : splitTerms(text)) {
        Term parsed;
        if (term.size() >= 2 && term.front() == minus) {
            parsed.excluded = true;
            term.erase(term.begin());
        }
        parsed.clause = {Kind::text, TextFolding::fold(utf8(term)), CaptureKind::image, {}};

        const std::vector<Characters> pieces = splitAtColon(term);
        if (pieces.size() == 2) {
            const std::string key = lowercased(pieces[0]);
            const std::string value = lowercased(pieces[1]);
            if (key == "type" && (value == "image" || value == "video")) {
                parsed.clause = {Kind::kind, {}, value == "image" ? CaptureKind::image : CaptureKind::video, {}};
            } else if (key == "tag") {
                parsed.clause = {Kind::tag, TextFolding::fold(utf8(pieces[1])), CaptureKind::image, {}};
            } else if (key == "is" && value == "favorite") {
                parsed.clause = {Kind::favorite, {}, CaptureKind::image, {}};
            } else if (key == "before" || key == "after") {
                if (const std::optional<Date> date = startOfDay(utf8(pieces[1])))
                    parsed.clause = {key == "before" ? Kind::before : Kind::after, {}, CaptureKind::image, *date};
            }
        }
        clauses_.push_back(std::move(parsed));
    }
}

bool SearchQuery::needsText() const
{
    return std::any_of(clauses_.begin(), clauses_.end(), [](const Term &term) {
        return term.clause.kind == Kind::text || term.clause.kind == Kind::tag;
    });
}

bool SearchQuery::matches(const CaptureItem &item) const
{
    if (clauses_.empty())
        return true;
    return matches(item, needsText() ? SearchText::of(item) : SearchText{});
}

bool SearchQuery::matches(const CaptureItem &item, const SearchText &prepared) const
{
    for (const Term &term : clauses_)
        if (holds(term.clause, item, prepared) == term.excluded)
            return false;
    return true;
}

bool SearchQuery::holds(const Clause &clause, const CaptureItem &item, const SearchText &prepared) const
{
    switch (clause.kind) {
    case Kind::text:
        return TextFolding::contains(prepared.text, clause.value);
    case Kind::tag:
        return std::any_of(prepared.tags.begin(), prepared.tags.end(),
                           [&clause](const std::string &tag) { return TextFolding::contains(tag, clause.value); });
    case Kind::kind:
        return item.kind == clause.captureKind;
    case Kind::before:
        return item.createdAt < clause.date;
    case Kind::after:
        return item.createdAt >= clause.date;
    case Kind::favorite:
        return item.isFavorite;
    }
    return false;
}

} // namespace tarn
