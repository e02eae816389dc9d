// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace tarn {

// The tags field as the editor shows it: the tags joined by a comma and one blank.
QString joinedTags(const std::vector<std::string> &tags);

// The tags a saved tags text stands for: split at every comma, trimmed of white space and line
// breaks, empty pieces dropped, canonically equal pieces (NFC) kept once, in the order of
// their Unicode scalar values. The pieces are stored in their composed (NFC) form.
std::vector<std::string> normalizedTags(const QString &text);

} // namespace tarn
