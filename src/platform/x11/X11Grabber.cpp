// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11Grabber.h"

#include <cstring>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <QPainter>
#include <xcb/shm.h>
#include <xcb/xfixes.h>

#include "platform/ScreenSource.h"

namespace tarn::X11 {
namespace {

// Copies 32-bit pixel rows into the image. An opaque image gets its alpha byte forced: the X
// server leaves it undefined but in 32-bit drawables.
void copyRows(const uint8_t *data, int width, int height, int sourceStride, QImage &target, const QPoint &at)
{
    const uint32_t opaque = target.hasAlphaChannel() ? 0 : 0xff000000u;
    for (int y = 0; y < height; ++y) {
        const auto *from = reinterpret_cast<const uint32_t *>(data + static_cast<size_t>(y) * sourceStride);
        auto *to = reinterpret_cast<uint32_t *>(target.scanLine(at.y() + y)) + at.x();
        for (int x = 0; x < width; ++x)
            to[x] = from[x] | opaque;
    }
}

} // namespace

Grabber::Grabber(Connection &connection) : connection_(connection)
{
    xcb_connection_t *c = connection_.get();
    if (!connection_.ok())
        return;
    if (const auto *shm = xcb_get_extension_data(c, &xcb_shm_id); shm && shm->present) {
        auto version = reply(xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr));
        sharedAvailable_ = version != nullptr;
    }
    if (const auto *fixes = xcb_get_extension_data(c, &xcb_xfixes_id); fixes && fixes->present) {
        auto version = reply(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr));
        fixesAvailable_ = version != nullptr;
    }
}

Grabber::~Grabber() { releaseSegment(); }

bool Grabber::ensureSegment(size_t bytes)
{
    if (shmAddress_ && shmSize_ >= bytes)
        return true;
    releaseSegment();
    shmId_ = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shmId_ < 0)
        return false;
    shmAddress_ = shmat(shmId_, nullptr, 0);
    if (shmAddress_ == reinterpret_cast<void *>(-1)) {
        shmAddress_ = nullptr;
        shmctl(shmId_, IPC_RMID, nullptr);
        shmId_ = -1;
        return false;
    }
    xcb_connection_t *c = connection_.get();
    segment_ = xcb_generate_id(c);
    auto *error = xcb_request_check(c, xcb_shm_attach_checked(c, segment_, static_cast<uint32_t>(shmId_), 0));
    // Marked for removal now: it disappears when both sides detach, even if we crash.
    shmctl(shmId_, IPC_RMID, nullptr);
    if (error) {
        std::free(error);
        shmdt(shmAddress_);
        shmAddress_ = nullptr;
        segment_ = 0;
        return false;
    }
    shmSize_ = bytes;
    return true;
}

void Grabber::releaseSegment()
{
    if (segment_ && connection_.ok())
        xcb_shm_detach(connection_.get(), segment_);
    if (shmAddress_)
        shmdt(shmAddress_);
    segment_ = 0;
    shmAddress_ = nullptr;
    shmSize_ = 0;
    shmId_ = -1;
}

QImage Grabber::grab(const QRect &rect)
{
    if (!connection_.ok() || rect.isEmpty())
        throw ScreenSourceFailure();
    if (connection_.rootDepth() != 24 && connection_.rootDepth() != 32)
        throw ScreenSourceFailure();
    QImage image(rect.size(), QImage::Format_RGB32);
    if (image.isNull())
        throw ScreenSourceFailure();
    // The size of now: a monitor plugged in or a resolution changed since the last grab.
    connection_.refreshRootSize();
    const QRect source = rect.intersected(QRect(0, 0, connection_.rootWidth(), connection_.rootHeight()));
    if (source != rect)
        image.fill(Qt::black);
    if (source.isEmpty())
        return image;
    read(connection_.root(), source, image, source.topLeft() - rect.topLeft());
    return image;
}

QImage Grabber::grabDrawable(uint32_t drawable, const QRect &source, bool alpha)
{
    if (!connection_.ok() || source.isEmpty())
        throw ScreenSourceFailure();
    QImage image(source.size(), alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        throw ScreenSourceFailure();
    read(drawable, source, image, QPoint());
    return image;
}

void Grabber::read(uint32_t drawable, const QRect &source, QImage &target, const QPoint &at)
{
    const size_t bytes = static_cast<size_t>(source.width()) * source.height() * 4;
    if (sharedAvailable_ && ensureSegment(bytes))
        grabShared(drawable, source, target, at);
    else
        grabPlain(drawable, source, target, at);
}

void Grabber::grabShared(uint32_t drawable, const QRect &source, QImage &target, const QPoint &at)
{
    xcb_connection_t *c = connection_.get();
    auto r = reply(xcb_shm_get_image_reply(
        c,
        xcb_shm_get_image(c, drawable, static_cast<int16_t>(source.x()), static_cast<int16_t>(source.y()),
                          static_cast<uint16_t>(source.width()), static_cast<uint16_t>(source.height()), ~0u,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, segment_, 0),
        nullptr));
    if (!r)
        throw ScreenSourceFailure();
    copyRows(static_cast<const uint8_t *>(shmAddress_), source.width(), source.height(), source.width() * 4, target,
             at);
}

void Grabber::grabPlain(uint32_t drawable, const QRect &source, QImage &target, const QPoint &at)
{
    xcb_connection_t *c = connection_.get();
    // Band by band, so that no single reply exceeds the server's request limits.
    const int band = std::max(1, (4 << 20) / std::max(1, source.width() * 4));
    for (int y = 0; y < source.height(); y += band) {
        const int rows = std::min(band, source.height() - y);
        auto r = reply(
            xcb_get_image_reply(c,
                                xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, static_cast<int16_t>(source.x()),
                                              static_cast<int16_t>(source.y() + y),
                                              static_cast<uint16_t>(source.width()), static_cast<uint16_t>(rows), ~0u),
                                nullptr));
        if (!r || xcb_get_image_data_length(r.get()) < source.width() * rows * 4)
            throw ScreenSourceFailure();
        copyRows(xcb_get_image_data(r.get()), source.width(), rows, source.width() * 4, target, at + QPoint(0, y));
    }
}

void Grabber::drawCursor(QImage &image, const QRect &rect)
{
    if (!fixesAvailable_)
        return;
    xcb_connection_t *c = connection_.get();
    auto cursor = reply(xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr));
    if (!cursor || cursor->width == 0 || cursor->height == 0)
        return;
    const QPoint topLeft(cursor->x - cursor->xhot, cursor->y - cursor->yhot);
    const QRect cursorRect(topLeft, QSize(cursor->width, cursor->height));
    if (!cursorRect.intersects(rect))
        return;
    // The server hands out premultiplied ARGB words, Qt's own layout.
    const QImage pointer(reinterpret_cast<const uchar *>(xcb_xfixes_get_cursor_image_cursor_image(cursor.get())),
                         cursor->width, cursor->height, cursor->width * 4, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.drawImage(topLeft - rect.topLeft(), pointer);
}

} // namespace tarn::X11
