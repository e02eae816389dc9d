#include "platform/ShmScreenGrabber.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>

#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include "platform/RecorderBackend.h"

namespace tarn {

namespace {

QString unreadableScreen()
{
    return QStringLiteral("화면을 더 이상 읽을 수 없습니다. 디스플레이 연결이 끊겼거나 화면 크기가 바뀌었습니다.");
}

} // namespace

ShmScreenGrabber::ShmScreenGrabber(QSize size, int bufferCount) : size_(size)
{
    int screenIndex = 0;
    connection_ = xcb_connect(nullptr, &screenIndex);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        throw RecorderFailure(QStringLiteral("X 디스플레이에 연결할 수 없어 화면을 녹화할 수 없습니다."));
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenIndex && it.rem; ++i)
        xcb_screen_next(&it);
    root_ = it.data->root;

    xcb_shm_query_version_reply_t *shm =
        xcb_shm_query_version_reply(connection_, xcb_shm_query_version(connection_), nullptr);
    if (!shm) {
        release();
        throw RecorderFailure(QStringLiteral("이 디스플레이는 공유 메모리 화면 읽기(MIT-SHM)를 지원하지 않습니다."));
    }
    free(shm);

    xcb_xfixes_query_version_reply_t *fixes = xcb_xfixes_query_version_reply(
        connection_, xcb_xfixes_query_version(connection_, 4, 0), nullptr);
    haveXFixes_ = fixes != nullptr;
    free(fixes);

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
        segment.seg = xcb_generate_id(connection_);
        xcb_shm_attach(connection_, segment.seg, uint32_t(segment.shmid), 0);
        segments_.push_back(segment);
    }
    xcb_flush(connection_);
    // Once the server has attached the segments, marking them for removal makes the kernel
    // free them when the last user detaches, even if this process is killed.
    xcb_get_input_focus_reply_t *sync =
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
    free(sync);
    for (const Segment &segment : segments_)
        shmctl(segment.shmid, IPC_RMID, nullptr);
}

ShmScreenGrabber::~ShmScreenGrabber()
{
    release();
}

void ShmScreenGrabber::release()
{
    for (const Segment &segment : segments_) {
        if (connection_)
            xcb_shm_detach(connection_, segment.seg);
        shmdt(segment.data);
    }
    segments_.clear();
    if (connection_) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
    }
}

QString ShmScreenGrabber::grab(int index, QPoint origin, bool cursor)
{
    if (xcb_connection_has_error(connection_))
        return unreadableScreen();
    const Segment &segment = segments_[size_t(index)];
    // Both requests go out before either answer is awaited: one round trip per frame.
    const xcb_shm_get_image_cookie_t imageCookie = xcb_shm_get_image(
        connection_, root_, int16_t(origin.x()), int16_t(origin.y()), uint16_t(size_.width()),
        uint16_t(size_.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment.seg, 0);
    xcb_xfixes_get_cursor_image_cookie_t cursorCookie{};
    if (cursor && haveXFixes_)
        cursorCookie = xcb_xfixes_get_cursor_image(connection_);

    xcb_generic_error_t *error = nullptr;
    xcb_shm_get_image_reply_t *image = xcb_shm_get_image_reply(connection_, imageCookie, &error);
    const bool ok = image != nullptr && error == nullptr;
    free(image);
    free(error);
    xcb_xfixes_get_cursor_image_reply_t *pointer = nullptr;
    if (cursor && haveXFixes_)
        pointer = xcb_xfixes_get_cursor_image_reply(connection_, cursorCookie, nullptr);
    if (ok && pointer)
        drawCursor(segment.data, origin, pointer);
    free(pointer);
    return ok ? QString() : unreadableScreen();
}

// The cursor image is premultiplied ARGB; it is blended over the frame where they overlap.
void ShmScreenGrabber::drawCursor(uint8_t *frame, QPoint origin, void *replyPointer)
{
    auto *reply = static_cast<xcb_xfixes_get_cursor_image_reply_t *>(replyPointer);
    const uint32_t *pixels = xcb_xfixes_get_cursor_image_cursor_image(reply);
    const int left = reply->x - reply->xhot - origin.x();
    const int top = reply->y - reply->yhot - origin.y();
    const int x0 = std::max(0, left), y0 = std::max(0, top);
    const int x1 = std::min(size_.width(), left + reply->width);
    const int y1 = std::min(size_.height(), top + reply->height);
    for (int y = y0; y < y1; ++y) {
        uint8_t *row = frame + size_t(y) * size_t(stride());
        const uint32_t *source = pixels + size_t(y - top) * reply->width;
        for (int x = x0; x < x1; ++x) {
            const uint32_t p = source[x - left];
            const uint32_t alpha = p >> 24;
            if (alpha == 0)
                continue;
            uint8_t *d = row + size_t(x) * 4;
            for (int c = 0; c < 3; ++c) {
                const uint32_t s = (p >> (8 * c)) & 0xff;
                d[c] = uint8_t(std::min<uint32_t>(255, s + (d[c] * (255 - alpha) + 127) / 255));
            }
        }
    }
}

} // namespace tarn
