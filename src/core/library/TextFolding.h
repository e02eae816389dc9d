// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Case- and diacritic-insensitive text comparison for the library search: both sides are folded
// once (decomposed, non-spacing marks removed, recomposed, case-folded) and then compared as
// plain UTF-8 substrings. Recomposing keeps Hangul syllables whole, so "하" is not found inside
// "한".
namespace tarn::TextFolding {

std::string fold(std::string_view utf8);

// True when the folded needle occurs in the folded haystack; an empty needle is never found.
bool contains(std::string_view foldedHaystack, std::string_view foldedNeedle);

} // namespace tarn::TextFolding
