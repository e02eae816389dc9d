// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/Failure.h"

namespace tarn {

const char *Failure::what() const noexcept
{
    try {
        if (what_.empty())
            what_ = description().toStdString();
    } catch (...) {
        return "Tarnwick failure";
    }
    return what_.c_str();
}

} // namespace tarn
