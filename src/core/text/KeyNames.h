// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarn {

// A line's text with the key names of its shortcuts spelled right. In small interface text the
// engine takes the l of "Ctrl" for an i about half the time ("Ctri+C"), and i, l, I, 1 and |
// for one another in general. A word joined to another by '+' that is a key name once those
// letters are taken as one is spelled as that key name; nothing else changes.
std::string withKeyNamesSpelled(const std::string &text);

} // namespace tarn
