#pragma once

#include <vector>

#include <QString>

namespace tarn::test {

// One video track of a generated movie. Frame i shows a red left half and a blue right half
// under a grey strip (the top eighth) whose level is `stripStep` * i, so a decoded frame tells
// which frame it was.
struct VideoTrack {
    int width = 320;
    int height = 240;
    int frames = 10;
    int fps = 10;
    double rotation = 0; // the display matrix's angle, as av_display_rotation_set takes it
};

struct Movie {
    std::vector<VideoTrack> video;
    double audioSeconds = 0; // a silent AAC track when positive
};

inline constexpr int stripStep = 40;

// Writes the movie as MPEG-4 (MPEG-4 part 2 video, AAC audio) with the FFmpeg libraries.
void writeMovie(const QString &path, const Movie &movie);

} // namespace tarn::test
