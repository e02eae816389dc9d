// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>

#include <QString>

namespace tarn {

// The text shown for an error: a Failure's own Korean description (also when a worker thread
// wrapped it), and for any other exception a Korean sentence followed by its own message.
QString describe(std::exception_ptr error);

} // namespace tarn
