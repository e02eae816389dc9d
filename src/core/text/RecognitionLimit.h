// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace tarn {

class SerialExecutor;

// Where a recognition under way stops before its end: past `deadline`, failing with
// RecognitionFailure::Case::tookTooLong, or, run in the background of `executor`, as soon as
// that executor wants it to give way (SerialExecutor::GiveWay). The engine asks between the
// words it reads, the recognizer between blocks, badges and lines. The default never stops.
struct RecognitionLimit {
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    const SerialExecutor *executor = nullptr;

    bool reached() const;
    void check() const; // throws as above when reached
};

} // namespace tarn
