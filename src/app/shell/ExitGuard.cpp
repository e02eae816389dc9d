// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/ExitGuard.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

#include <unistd.h>

namespace tarn::ExitGuard {

void arm(int status, std::chrono::milliseconds after)
{
    // What was written so far reaches its file or pipe even if the guard has to end the process.
    std::fflush(nullptr);
    std::thread([status, after] {
        std::this_thread::sleep_for(after);
        // Said on standard error, so that a hang in the teardown is seen rather than hidden.
        static constexpr char note[] = "tarnwick: the end of the process took too long; ended by its exit guard\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, note, sizeof note - 1);
        std::_Exit(status);
    }).detach();
}

} // namespace tarn::ExitGuard
