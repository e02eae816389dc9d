// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>

#include "app/capture/ShareableContent.h"

// The window picker's search: a window passes when the search is empty (a search of blanks is
// not empty), or when its title, failing that its application's name, contains the search
// regardless of case and diacritics. Hangul syllables are compared whole.
namespace tarn::WindowSearch {

bool matches(const ShareableWindow &window, const QString &search);
// The passing windows in their given order.
std::vector<ShareableWindow> filtered(const std::vector<ShareableWindow> &windows, const QString &search);

} // namespace tarn::WindowSearch
