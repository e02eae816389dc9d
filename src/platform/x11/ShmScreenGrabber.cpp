// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/ShmScreenGrabber.h"

#include <cstdlib>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <QImage>
#include <xcb/shm.h>

#include "platform/RecorderBackend.h"

namespace tarn {

namespace {

QString unreadableScreen()
{
    return QStringLiteral("화면을 더 이상 읽을 수 없습니다. 디스플레이 연결이 끊겼거나 화면 크기가 바뀌었습니다.");
}

QString noSharedMemory()
{
    return QStringLiteral("이 디스플레이는 공유 메모리 화면 읽기(MIT-SHM)를 지원하지 않아 녹화할 수 없습니다.");
}

} // namespace

ShmScreenGrabber::ShmScreenGrabber(QSize size, int bufferCount) : size_(size)
{
    if (!connection_.ok())
        throw RecorderFailure(QStringLiteral("X 디스플레이에 연결할 수 없어 화면을 녹화할 수 없습니다."));
    pointer_ = std::make_unique<X11::Grabber>(connection_);
    if (!pointer_->usesSharedMemory())
        throw RecorderFailure(noSharedMemory());

    xcb_connection_t *c = connection_.get();
    const size_t bytes = size_t(size.width()) * size_t(size.height()) * 4;
    for (int i = 0; i < bufferCount; ++i) {
        Segment segment;
        segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        void *data = segment.shmid >= 0 ? shmat(segment.shmid, nullptr, 0) : reinterpret_cast<void *>(-1);
        if (data == reinterpret_cast<void *>(-1)) {
            if (segment.shmid >= 0)
                shmctl(segment.shmid, IPC_RMID, nullptr);
            release();
            throw RecorderFailure(QStringLiteral("녹화용 공유 메모리를 확보하지 못했습니다."));
        }
        segment.data = static_cast<uint8_t *>(data);
        segment.seg = xcb_generate_id(c);
        // A checked attach: a server that cannot reach our memory (another host, another
        // IPC namespace) must give the MIT-SHM message now, not a lost display at the first grab.
        xcb_generic_error_t *error =
            xcb_request_check(c, xcb_shm_attach_checked(c, segment.seg, uint32_t(segment.shmid), 0));
        // Both sides are attached (or the server never will be): marked for removal now, the
        // kernel frees the segment when the last user detaches, whatever happens to us later.
        shmctl(segment.shmid, IPC_RMID, nullptr);
        if (error) {
            free(error);
            shmdt(segment.data);
            release();
            throw RecorderFailure(noSharedMemory());
        }
        segments_.push_back(segment);
    }
}

ShmScreenGrabber::~ShmScreenGrabber() { release(); }

void ShmScreenGrabber::release()
{
    for (const Segment &segment : segments_) {
        if (connection_.ok())
            xcb_shm_detach(connection_.get(), segment.seg);
        shmdt(segment.data);
    }
    segments_.clear();
    if (connection_.ok())
        xcb_flush(connection_.get());
}

QString ShmScreenGrabber::grab(int index, QPoint origin, bool cursor)
{
    if (!connection_.ok())
        return unreadableScreen();
    connection_.discardEvents();
    xcb_connection_t *c = connection_.get();
    const Segment &segment = segments_[size_t(index)];
    xcb_generic_error_t *error = nullptr;
    auto image = X11::reply(xcb_shm_get_image_reply(
        c,
        xcb_shm_get_image(c, connection_.root(), int16_t(origin.x()), int16_t(origin.y()), uint16_t(size_.width()),
                          uint16_t(size_.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment.seg, 0),
        &error));
    const bool ok = image && !error;
    free(error);
    if (!ok)
        return unreadableScreen();
    if (cursor) {
        QImage frame(segment.data, size_.width(), size_.height(), stride(), QImage::Format_RGB32);
        pointer_->drawCursor(frame, QRect(origin, size_));
    }
    return {};
}

} // namespace tarn
