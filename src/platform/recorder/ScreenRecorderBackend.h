// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RecorderBackend.h"

namespace tarn {

// The recorder of this system: the screen grabbed with MIT-SHM at the chosen rate on a
// capture thread, encoded to H.264 in a fragmented MP4 on a writer thread, with the sound
// server's system audio and/or microphone as AAC when asked for.
class ScreenRecorderBackend : public RecorderBackend {
public:
    QFuture<bool> checkMicrophone() override;
    std::unique_ptr<RecorderSession> createSession(const RecorderRequest &request) override;
};

} // namespace tarn
