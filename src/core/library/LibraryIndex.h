// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QByteArray>

#include "core/model/CaptureItem.h"

// The index document "library.json": {"items":[…],"version":1}, compact, keys sorted.
namespace tarn::LibraryIndex {

inline constexpr int64_t currentVersion = 1;

// The bytes of the index for the given items. Throws Json::WriteError for a number JSON cannot
// hold; nothing is written in that case.
QByteArray encode(const std::vector<CaptureItem> &items);

// Reads and checks an index: any bytes give either the items or a LibraryFailure
// (corruptedIndex for anything that is not the document, saying in Korean what is wrong where
// in the file at `path`; unsupportedVersion for another version, checked only after the whole
// document decoded; unsafeFilename for a stored name that could leave its folder).
std::vector<CaptureItem> decode(const QByteArray &bytes, const QString &path);

} // namespace tarn::LibraryIndex
