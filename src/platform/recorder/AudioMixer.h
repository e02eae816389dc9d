// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace tarn {

// Lays the audio of several sources (system sound, microphone) on one timeline counted in
// sample frames and mixes them into interleaved stereo pieces for the encoder. A source that
// lags far behind the others is taken as silence, so one stalled input never holds up the
// recording. Not thread-safe; the recorder guards it.
class AudioMixer {
public:
    static constexpr int channels = 2;

    // `lagFrames`: how far the earliest source may run ahead before missing ones count as
    // silence; `gapFrames`: how much later than expected a piece may start and still follow on.
    AudioMixer(int sourceCount, int64_t lagFrames, int64_t gapFrames);

    // The mix begins at timeline frame `frame` even when the first sound comes later: the wait
    // until then is silence. Without it the mix begins with the first sound.
    void beginAt(int64_t frame) { position_ = frame; }

    // Adds `frames` interleaved frames of `source` (a source beyond those counted so far joins
    // the mix from now on) that belong at timeline frame `start` (from
    // their arrival time). Pieces follow on without a gap while they arrive within gapFrames of
    // where they are expected; a later piece (the source paused) leaves silence, an earlier
    // one (the source runs ahead of the clock) loses what overlaps. Frames before the position
    // the mix has reached are dropped.
    void push(int source, int64_t start, const float *samples, size_t frames);

    // Writes the next `frames` frames of the mix to `out` and returns their timeline position,
    // when every source has them, or one source is `lagFrames` ahead, or `drain` is set and
    // any source still has sound. Otherwise nothing.
    std::optional<int64_t> pull(size_t frames, float *out, bool drain);

private:
    struct Track {
        bool started = false;
        int64_t start = 0; // timeline frame of samples.front()
        std::deque<float> samples;
        int64_t end() const { return start + int64_t(samples.size() / channels); }
    };
    std::vector<Track> tracks_;
    int64_t lagFrames_;
    int64_t gapFrames_;
    std::optional<int64_t> position_; // the next frame the mix gives out
};

} // namespace tarn
