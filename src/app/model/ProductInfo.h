// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarn::ProductInfo {

// The application's version text: the version the application object carries, else "0.1.6".
// Worked out once, on first use.
const QString &version();

} // namespace tarn::ProductInfo
