// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recorder/AudioMixer.h"

#include <algorithm>

namespace tarn {

AudioMixer::AudioMixer(int sourceCount, int64_t lagFrames, int64_t gapFrames)
    : tracks_(size_t(sourceCount)),
      lagFrames_(lagFrames),
      gapFrames_(gapFrames)
{ }

void AudioMixer::push(int source, int64_t start, const float *samples, size_t frames)
{
    if (size_t(source) >= tracks_.size())
        tracks_.resize(size_t(source) + 1);
    Track &track = tracks_[size_t(source)];
    if (!track.started) {
        track.started = true;
        track.start = start;
        if (!position_)
            position_ = std::max<int64_t>(0, start);
    } else if (start > track.end() + gapFrames_) {
        // The source paused: the pause stays silent.
        if (track.samples.empty())
            track.start = start;
        else
            track.samples.insert(track.samples.end(), size_t(start - track.end()) * channels, 0.0f);
    } else if (start + gapFrames_ < track.end()) {
        // The source hands out more than real time (a burst of old sound, or a clock running
        // fast): what lies before the track's end is dropped.
        const size_t skip = std::min(frames, size_t(track.end() - start));
        samples += skip * channels;
        frames -= skip;
    }
    track.samples.insert(track.samples.end(), samples, samples + frames * channels);
    // Sound from before the mix's position can no longer be placed.
    const int64_t stale = std::min<int64_t>(*position_ - track.start, track.end() - track.start);
    if (stale > 0) {
        track.samples.erase(track.samples.begin(), track.samples.begin() + stale * channels);
        track.start += stale;
    }
}

std::optional<int64_t> AudioMixer::pull(size_t frames, float *out, bool drain)
{
    if (!position_)
        return std::nullopt;
    const int64_t from = *position_, to = from + int64_t(frames);
    bool allCovered = true, anyAhead = false, anyLeft = false;
    for (const Track &track : tracks_) {
        allCovered = allCovered && track.started && track.end() >= to;
        anyAhead = anyAhead || track.end() >= to + lagFrames_;
        anyLeft = anyLeft || track.end() > from;
    }
    if (!allCovered && !anyAhead && !(drain && anyLeft))
        return std::nullopt;

    std::fill(out, out + frames * channels, 0.0f);
    for (Track &track : tracks_) {
        if (!track.started)
            continue;
        // Frames of this piece that the track holds, from its own start on.
        const int64_t first = std::max(from, track.start);
        const int64_t last = std::min(to, track.end());
        for (int64_t f = first; f < last; ++f)
            for (int c = 0; c < channels; ++c)
                out[size_t(f - from) * channels + size_t(c)] +=
                    track.samples[size_t(f - track.start) * channels + size_t(c)];
        const int64_t used = std::max<int64_t>(0, last - track.start);
        track.samples.erase(track.samples.begin(), track.samples.begin() + used * channels);
        track.start += used;
        if (track.start < to && track.samples.empty())
            track.start = to; // a missing stretch stays silent; the track goes on from here
    }
    for (size_t i = 0; i < frames * channels; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    position_ = to;
    return from;
}

} // namespace tarn
