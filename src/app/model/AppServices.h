// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>

#include "app/capture/RegionSelector.h"
#include "app/flows/Clipboard.h"
#include "platform/RecorderBackend.h"
#include "platform/ScreenSource.h"

namespace tarn {

// The waits of the capture and recording flows. The defaults are the product's; tests shorten
// them so a countdown of three seconds does not cost three seconds of every run.
struct FlowTimings {
    std::chrono::milliseconds settleAfterHiding{180}; // before a region, text or display capture
    std::chrono::milliseconds beforeHiding{240};      // before a window capture or a recording start
    std::chrono::milliseconds countdownStep{1000};    // one number of the countdown
    std::chrono::milliseconds afterCountdown{100};    // after its panel is gone
    std::chrono::milliseconds afterWindowCountdown{150};
    // At most, for the window manager to take hidden windows down or to give ours the keyboard back.
    std::chrono::milliseconds offScreenLimit{3000};
};

// What the model captures, records and copies with. Empty members take the desktop's own (the
// X11 screen, the FFmpeg recorder, the system clipboard); tests put stand-ins in the few places
// the test desktop cannot reach, such as a display that refuses access or a failing clipboard.
struct AppServices {
    std::unique_ptr<ScreenSource> screenSource;
    RegionSelector::Desktop selectorDesktop;
    std::shared_ptr<RecorderBackend> recorderBackend;
    std::unique_ptr<Clipboard> clipboard;
    FlowTimings timings;
};

} // namespace tarn
