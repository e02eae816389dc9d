// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/base/Date.h"
#include "core/model/CaptureItem.h"

namespace tarn {

// An item's searchable text folded once for the search (see TextFolding.h). The library view
// keeps one per item (remade when the item changes) and passes it to matches(): each keystroke
// then only searches, instead of folding every item's text again.
struct SearchText {
    std::string text;              // the folded searchableText()
    std::vector<std::string> tags; // each tag folded

    static SearchText of(const CaptureItem &item);
};

// The library's search field: words, "quoted phrases", a leading "-" that excludes a term, and
// the terms tag:value, type:image|video, is:favorite, before:yyyy-MM-dd and after:yyyy-MM-dd
// (keys and the values of type and is in any letter case). A term that cannot be read as one of
// these is searched as text, key and colon included, so no input is ever rejected. An item
// matches when every term holds; text comparison ignores case and diacritics.
class SearchQuery {
public:
    explicit SearchQuery(std::string_view text); // UTF-8; never fails

    bool isEmpty() const { return clauses_.empty(); }
    bool matches(const CaptureItem &item) const;
    bool matches(const CaptureItem &item, const SearchText &prepared) const;

private:
    enum class Kind { text, tag, kind, before, after, favorite };
    struct Clause {
        Kind kind = Kind::text;
        std::string value; // folded text of a text or tag clause
        CaptureKind captureKind = CaptureKind::image;
        Date date;
    };
    struct Term {
        Clause clause;
        bool excluded = false;
    };

    bool holds(const Clause &clause, const CaptureItem &item, const SearchText &prepared) const;
    bool needsText() const;

    std::vector<Term> clauses_;
};

} // namespace tarn
