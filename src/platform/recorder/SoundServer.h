// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// The sound server this process reaches (PulseAudio, or a server that speaks its protocol).
namespace tarn::SoundServer {

// The number that tells this instance of the server from any other, also from one started
// again on the same socket; nothing when no server answers within `patience`. Asks on the
// calling thread and waits no longer than that.
std::optional<uint32_t> identity(std::chrono::milliseconds patience);

} // namespace tarn::SoundServer
