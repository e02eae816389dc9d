// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFuture>
#include <QImage>
#include <QString>

namespace tarn {

// What the library needs to index a movie file: its pixel size as displayed (rotation
// applied), its duration and a poster frame.
struct VideoInfo {
    QImage thumbnail; // upright, no larger than 1280 x 1280
    int width = 0;
    int height = 0;
    double duration = 0; // seconds, finite and greater than 0

    static constexpr int maximumPosterSide = 1280;
    static constexpr int noVideoTrackCode = 7;

    // Reads the file; blocks, so callers run it off the GUI thread. Throws the code-7 AppError
    // ("재생 가능한 영상 트랙이 없습니다.") for a file without a video track or without a positive
    // duration, and a VideoFailure for a file that cannot be opened or decoded. Only a regular
    // file is opened: a pipe, device, socket or folder is refused without waiting on it.
    static VideoInfo load(const QString &path);
    // `load` on the shared thread pool; the future rethrows load's own exception.
    static QFuture<VideoInfo> loadAsync(const QString &path);
};

} // namespace tarn
