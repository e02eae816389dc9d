// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/KeyNames.h"

#include <array>
#include <cctype>
#include <string_view>

namespace tarn {

namespace {

constexpr std::array<std::string_view, 22> keyNames{
    "Ctrl", "Shift", "Alt",    "AltGr", "Tab",   "Esc",       "Del",  "Delete", "Ins", "Insert", "Home",
    "End",  "Enter", "Return", "Space", "Super", "Backspace", "PgUp", "PgDn",   "Fn",  "Meta",   "Print"};

bool isWordCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '|'; }

// Lower case, with the letters the engine confuses taken as one, and a run of them as one: in
// some fonts the engine reads the l of "Ctrl" as two strokes ("Ctril").
std::string folded(std::string_view word)
{
    std::string out;
    for (const char c : word) {
        const char lower = char(std::tolower(static_cast<unsigned char>(c)));
        const char shape = lower == 'i' || lower == '1' || lower == '|' ? 'l' : lower;
        if (shape != 'l' || !out.ends_with('l'))
            out += shape;
    }
    return out;
}

std::string_view keyNameLike(std::string_view word)
{
    const std::string shape = folded(word);
    for (const std::string_view name : keyNames)
        if (folded(name) == shape)
            return name;
    return {};
}

} // namespace

std::string withKeyNamesSpelled(const std::string &text)
{
    std::string out = text;
    for (size_t start = 0; start < out.size();) {
        if (!isWordCharacter(out[start])) {
            ++start;
            continue;
        }
        size_t end = start;
        while (end < out.size() && isWordCharacter(out[end]))
            ++end;
        const bool joined = (start > 0 && out[start - 1] == '+') || (end < out.size() && out[end] == '+');
        if (const std::string_view name = keyNameLike(std::string_view(out).substr(start, end - start));
            joined && !name.empty())
            out.replace(start, end - start, name);
        start = end;
    }
    return out;
}

} // namespace tarn
