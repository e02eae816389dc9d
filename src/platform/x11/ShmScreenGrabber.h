// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QRect>
#include <QString>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Grabber.h"

namespace tarn {

// Grabs rectangles of the X root window straight into several shared-memory buffers (MIT-SHM)
// on its own xcb connection, so that the recorder's capture thread grabs without copying and
// without touching the GUI's connection. Each buffer holds one frame of 32-bit BGRX pixels,
// rows packed (stride = width x 4). Not thread-safe: one thread uses one grabber.
class ShmScreenGrabber {
public:
    // Connects to the default display and makes `bufferCount` buffers for `size`. Throws
    // RecorderFailure when the display, MIT-SHM or the memory is not available.
    ShmScreenGrabber(QSize size, int bufferCount);
    ~ShmScreenGrabber();
    ShmScreenGrabber(const ShmScreenGrabber &) = delete;
    ShmScreenGrabber &operator=(const ShmScreenGrabber &) = delete;

    // Grabs the rectangle at `origin` of the buffers' size into buffer `index`, with the
    // pointer drawn in when `cursor` is set. Returns an empty string, or a Korean description
    // of why the screen can no longer be read (connection lost, area off the screen).
    QString grab(int index, QPoint origin, bool cursor);

    const uint8_t *buffer(int index) const { return segments_[size_t(index)].data; }
    int stride() const { return size_.width() * 4; }

private:
    struct Segment {
        int shmid = -1;
        uint32_t seg = 0;
        uint8_t *data = nullptr;
    };
    void release();

    X11::Connection connection_;
    std::unique_ptr<X11::Grabber> pointer_; // draws the cursor
    QSize size_;
    std::vector<Segment> segments_;
};

} // namespace tarn
