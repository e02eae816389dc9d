// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace tarn::ExitGuard {

// The longest a process may take to end once its own work is over. A sanitized build checks for
// leaks as it ends, which takes longer and must not be cut short.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARN_ADDRESS_SANITIZER
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(TARN_ADDRESS_SANITIZER)
inline constexpr std::chrono::milliseconds limit{60'000};
#else
inline constexpr std::chrono::milliseconds limit{1000};
#endif

// From now on the process ends within `limit`, with `status` if whatever still runs has not
// ended it by then. Armed once every window of ours has gone, and with it the library's work:
// what is left is the end of the video players (handed to threads of their own) and Qt's own
// teardown of its platform and media plugins, which must not keep a quitting process (and the
// library it holds) alive. Qt 6.4's PulseAudio sink does not cancel a drain it started when it
// closes, so the sound server's thread can still call into a deleted sink and post to a
// receiver that is gone, and then hang holding a lock the application object needs on its way
// out; once the sound server has gone away, the thread that ends a video's sound can wait
// forever for that server's main loop.
void arm(int status, std::chrono::milliseconds after = limit);

} // namespace tarn::ExitGuard
