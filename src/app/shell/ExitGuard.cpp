// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/ExitGuard.h"

#include <cstdlib>
#include <thread>

namespace tarn::ExitGuard {

void arm(int status, std::chrono::milliseconds after)
{
    std::thread([status, after] {
        std::this_thread::sleep_for(after);
        std::_Exit(status);
    }).detach();
}

} // namespace tarn::ExitGuard
