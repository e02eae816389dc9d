// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/Notifications.h"

namespace tarn {

Notifications &Notifications::center()
{
    static Notifications instance;
    return instance;
}

} // namespace tarn
