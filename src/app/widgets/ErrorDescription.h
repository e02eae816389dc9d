// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>

#include <QString>

namespace tarn {

// The text shown for an error: a Failure's own Korean description, the message of any other
// exception, and the original exception's text when a worker thread wrapped it.
QString describe(std::exception_ptr error);

} // namespace tarn
