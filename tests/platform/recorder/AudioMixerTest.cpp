// SPDX-License-Identifier: GPL-3.0-or-later
// Laying system sound and microphone on one timeline.
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/recorder/AudioMixer.h"

using namespace tarn;

namespace {

std::vector<float> constant(size_t frames, float value)
{
    return std::vector<float>(frames * AudioMixer::channels, value);
}

} // namespace

TEST(AudioMixer, WaitsForEverySourceThenAddsThemSampleBySample)
{
    AudioMixer mixer(2, 1000, 1000);
    std::vector<float> out(8 * 2);
    const auto a = constant(8, 0.25f), b = constant(8, 0.5f);
    mixer.push(0, 100, a.data(), 8);
    EXPECT_FALSE(mixer.pull(8, out.data(), false)); // the microphone has not spoken yet
    mixer.push(1, 100, b.data(), 8);
    const auto at = mixer.pull(8, out.data(), false);
    ASSERT_TRUE(at);
    EXPECT_EQ(*at, 100);
    for (float v : out)
        EXPECT_FLOAT_EQ(v, 0.75f);
}

TEST(AudioMixer, PlacesALateSourceAtItsOwnTimeAndClipsTheSum)
{
    AudioMixer mixer(2, 1000, 1000);
    const auto loud = constant(8, 0.75f);
    mixer.push(0, 0, loud.data(), 8);
    mixer.push(1, 4, loud.data(), 8); // starts four frames later
    std::vector<float> out(8 * 2);
    ASSERT_EQ(mixer.pull(8, out.data(), false), 0);
    for (int f = 0; f < 8; ++f)
        EXPECT_FLOAT_EQ(out[size_t(f) * 2], f < 4 ? 0.75f : 1.0f) << f;
    // Sound from before the mix's position is dropped, the rest follows on.
    mixer.push(0, 0, loud.data(), 4);
    EXPECT_FALSE(mixer.pull(8, out.data(), false));
    const auto rest = mixer.pull(4, out.data(), true);
    ASSERT_TRUE(rest);
    EXPECT_EQ(*rest, 8);
}

TEST(AudioMixer, AStalledSourceCountsAsSilenceOnceAnotherIsFarAhead)
{
    AudioMixer mixer(2, 16, 100);
    std::vector<float> out(8 * 2);
    const auto sound = constant(32, 0.5f);
    mixer.push(0, 0, sound.data(), 8);
    EXPECT_FALSE(mixer.pull(8, out.data(), false));
    mixer.push(0, 8, sound.data(), 24); // 32 frames in: 24 past the piece, more than the lag
    const auto at = mixer.pull(8, out.data(), false);
    ASSERT_TRUE(at);
    EXPECT_EQ(*at, 0);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    // Draining gives out the rest and then nothing.
    int pieces = 0;
    while (mixer.pull(8, out.data(), true))
        ++pieces;
    EXPECT_EQ(pieces, 3);
}

TEST(AudioMixer, KeepsEachSourceOnTheClockThroughPausesAndBursts)
{
    AudioMixer mixer(1, 1000, 4);
    const auto sound = constant(8, 0.5f);
    mixer.push(0, 0, sound.data(), 8);
    mixer.push(0, 10, sound.data(), 8); // two frames late: within the tolerance, follows on
    mixer.push(0, 40, sound.data(), 8); // 24 frames late: a pause of silence
    mixer.push(0, 30, sound.data(), 8); // 18 frames early: overlaps what is there, dropped
    std::vector<float> out(56 * 2);
    ASSERT_EQ(mixer.pull(48, out.data(), false), 0);
    for (int f = 0; f < 48; ++f)
        EXPECT_FLOAT_EQ(out[size_t(f) * 2], f < 16 || f >= 40 ? 0.5f : 0.0f) << f;
    EXPECT_FALSE(mixer.pull(8, out.data(), true));
}

// A mix told where it begins starts there, silent until the first sound, however late that is;
// without a beginning it starts with the first sound.
TEST(AudioMixer, BeginsWhereToldAndIsSilentUntilTheFirstSound)
{
    const struct {
        std::optional<int64_t> begin;
        int64_t firstSound;
        int64_t expectedStart;
        int silentFrames;
    } cases[] = {
        {0, 12, 0, 12},
        {0, 0, 0, 0},
        {4, 12, 4, 8},
        {std::nullopt, 12, 12, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.firstSound);
        AudioMixer mixer(1, 1000, 4);
        if (c.begin)
            mixer.beginAt(*c.begin);
        std::vector<float> out(16 * 2);
        EXPECT_FALSE(mixer.pull(16, out.data(), false)) << "nothing before the first sound arrives";
        const auto sound = constant(32, 0.5f);
        mixer.push(0, c.firstSound, sound.data(), 32);
        const auto at = mixer.pull(16, out.data(), false);
        ASSERT_TRUE(at);
        EXPECT_EQ(*at, c.expectedStart);
        for (int f = 0; f < 16; ++f)
            EXPECT_FLOAT_EQ(out[size_t(f) * 2], f < c.silentFrames ? 0.0f : 0.5f) << f;
    }
}
