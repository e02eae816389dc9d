// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include <QImage>
#include <QRect>

#include "platform/x11/X11Connection.h"

namespace tarn::X11 {

// Reads pixels of the root window: MIT-SHM GetImage into a shared segment kept between grabs,
// plain GetImage when the server has no MIT-SHM. Not thread-safe: one grabber per thread.
class Grabber {
public:
    explicit Grabber(Connection &connection);
    ~Grabber();
    Grabber(const Grabber &) = delete;
    Grabber &operator=(const Grabber &) = delete;

    // An opaque Format_RGB32 image of the rectangle (device pixels of the root); the parts
    // outside the root stay black. Throws ScreenSourceFailure when the server refuses.
    QImage grab(const QRect &rect);
    // A rectangle of a 24- or 32-bit drawable (a window's pixmap): opaque Format_RGB32, or with
    // `alpha` the drawable's own alpha as Format_ARGB32_Premultiplied (the form of a 32-bit
    // window's pixels). Throws ScreenSourceFailure.
    QImage grabDrawable(uint32_t drawable, const QRect &source, bool alpha);
    // Draws the pointer (XFixes cursor image) into an image grabbed at `rect`; no-op when the
    // pointer lies elsewhere or the server has no XFixes.
    void drawCursor(QImage &image, const QRect &rect);

    bool usesSharedMemory() const { return sharedAvailable_; }

private:
    bool ensureSegment(size_t bytes);
    void releaseSegment();
    void read(uint32_t drawable, const QRect &source, QImage &target, const QPoint &at);
    void grabShared(uint32_t drawable, const QRect &source, QImage &target, const QPoint &at);
    void grabPlain(uint32_t drawable, const QRect &source, QImage &target, const QPoint &at);

    Connection &connection_;
    bool sharedAvailable_ = false;
    bool fixesAvailable_ = false;
    uint32_t segment_ = 0;
    int shmId_ = -1;
    void *shmAddress_ = nullptr;
    size_t shmSize_ = 0;
};

} // namespace tarn::X11
