// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/ScreenCaptureService.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <qcoro/qcorotimer.h>

#include "app/capture/CaptureFailure.h"
#include "app/capture/OwnWindows.h"
#include "core/image/ImageCodec.h"
#include "core/model/CaptureGeometry.h"

namespace tarn {
namespace {

double qtScaleOf(const DisplayInfo &display)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (!display.name.isEmpty() && screen->name() == display.name)
            return screen->devicePixelRatio();
    if (QScreen *primary = QGuiApplication::primaryScreen())
        return primary->devicePixelRatio();
    return 1.0;
}

double sanitizedScale(double scale) { return std::isfinite(scale) && scale > 0 ? scale : 1.0; }

// A window's points follow the display that holds its centre (the primary one otherwise).
double windowScale(const ShareableContent &content, const QRect &nativeFrame)
{
    for (const ShareableDisplay &display : content.displays)
        if (display.nativeRect.contains(nativeFrame.center()))
            return display.scale;
    for (const ShareableDisplay &display : content.displays)
        if (display.primary)
            return display.scale;
    return content.displays.empty() ? 1.0 : content.displays.front().scale;
}

} // namespace

ScreenCaptureService::ScreenCaptureService(std::unique_ptr<ScreenSource> source, ScaleOf scaleOf, QObject *parent)
    : QObject(parent),
      source_(source ? std::move(source) : makeX11ScreenSource()),
      scaleOf_(scaleOf ? std::move(scaleOf) : ScaleOf(qtScaleOf))
{ }

ScreenCaptureService::~ScreenCaptureService() = default;

QCoro::Task<ShareableContent> ScreenCaptureService::availableContent()
{
    if (!source_->isAvailable())
        throw CaptureFailure::permission();
    ShareableContent content;
    for (const DisplayInfo &display : source_->displays())
        content.displays.push_back(
            {display.id, display.name, display.nativeRect, sanitizedScale(scaleOf_(display)), display.primary});
    for (const WindowInfo &window : source_->windows()) {
        if (!window.onScreen)
            continue;
        const double scale = windowScale(content, window.frame);
        const QRectF frame(window.frame.x() / scale, window.frame.y() / scale, window.frame.width() / scale,
                           window.frame.height() / scale);
        content.windows.push_back({window.id, window.title, window.applicationName, window.processID, frame,
                                   window.frame, window.layer, scale});
        const bool known = !window.processID ||
            std::any_of(content.applications.begin(), content.applications.end(),
                        [&](const ShareableApplication &app) { return app.processID == *window.processID; });
        if (!known)
            content.applications.push_back({*window.processID, window.applicationName});
    }
    co_return content;
}

QCoro::Task<std::vector<ShareableWindow>> ScreenCaptureService::availableWindows()
{
    const ShareableContent content = co_await availableContent();
    const int64_t ownProcess = getpid();
    std::vector<ShareableWindow> offered;
    for (const ShareableWindow &window : content.windows) {
        if (window.layer != 0)
            continue;
        if (window.frame.width() < 80 || window.frame.height() < 60)
            continue;
        if (window.processID && *window.processID == ownProcess)
            continue;
        if (window.title.isEmpty())
            continue;
        offered.push_back(window);
    }
    // Plain code-point order of the application names, not the locale's.
    std::stable_sort(offered.begin(), offered.end(), [](const ShareableWindow &a, const ShareableWindow &b) {
        return a.applicationName.toStdU32String() < b.applicationName.toStdU32String();
    });
    co_return offered;
}

QCoro::Task<ContentFilter> ScreenCaptureService::displayFilter(uint32_t displayID)
{
    const ShareableContent content = co_await availableContent();
    const auto display = std::find_if(content.displays.begin(), content.displays.end(),
                                      [&](const ShareableDisplay &d) { return d.displayID == displayID; });
    if (display == content.displays.end())
        throw CaptureFailure::displayUnavailable();
    // This process's windows cannot be filtered out of an X11 grab; capture() hides them instead.
    ContentFilter filter;
    filter.displayID = display->displayID;
    filter.nativeRect = display->nativeRect;
    filter.scale = display->scale;
    co_return filter;
}

ContentFilter ScreenCaptureService::windowFilter(const ShareableWindow &window)
{
    ContentFilter filter;
    filter.windowID = window.windowID;
    filter.nativeRect = window.nativeFrame;
    filter.scale = sanitizedScale(window.scale);
    return filter;
}

QRect nativeCaptureRect(const ContentFilter &filter, const QRectF &rect, QSize pixelSize)
{
    const QRect &content = filter.nativeRect;
    int x = content.x() + static_cast<int>(std::floor(rect.x() * filter.scale));
    int y = content.y() + static_cast<int>(std::floor(rect.y() * filter.scale));
    // Rounding up the size may reach one pixel past the content: move back inside.
    x = std::max(content.x(), std::min(x, content.x() + content.width() - pixelSize.width()));
    y = std::max(content.y(), std::min(y, content.y() + content.height() - pixelSize.height()));
    return {QPoint(x, y), pixelSize};
}

QString ScreenCaptureService::windowFromScreenNotice()
{
    return QStringLiteral("이 X 서버에서는 창만 따로 읽을 수 없어 창 자리의 화면을 캡처했습니다. 창을 가린 다른 창이 "
                          "함께 찍혔을 수 있습니다.");
}

// The window's own pixmap, cut to the asked part of it. Nothing when the server cannot read a
// window alone.
std::optional<CapturedImage> ScreenCaptureService::captureWindowAlone(const ContentFilter &filter, const QRectF &rect,
                                                                      bool cursor)
{
    const auto started = std::chrono::steady_clock::now();
    std::optional<QImage> window = source_->grabWindow(filter.windowID, cursor);
    if (!window)
        return std::nullopt;
    CapturedImage captured;
    captured.image = std::move(*window);
    if (rect != filter.contentRect()) {
        const QSizeF pixels = CaptureGeometry::pixelSize(rect.size(), filter.scale, std::nullopt, false);
        const QRect part = nativeCaptureRect(filter, rect, pixels.toSize()).translated(-filter.nativeRect.topLeft());
        captured.image = captured.image.copy(part);
    }
    // The window may have changed its size since it was listed.
    ImageCodec::validate(captured.image.width(), captured.image.height());
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - started;
    captured.milliseconds = elapsed.count();
    return captured;
}

QCoro::Task<CapturedImage> ScreenCaptureService::capture(ContentFilter filter, std::optional<QRectF> region,
                                                         bool cursor)
{
    const QRectF content = filter.contentRect();
    const QRectF rect = region ? region->intersected(content) : content;
    const QSizeF pixels = CaptureGeometry::pixelSize(rect.size(), filter.scale, std::nullopt, false);
    const auto width = static_cast<int64_t>(pixels.width());
    const auto height = static_cast<int64_t>(pixels.height());
    ImageCodec::validate(width, height);
    const QRect source = nativeCaptureRect(filter, rect, QSize(static_cast<int>(width), static_cast<int>(height)));
    if (filter.windowID != 0)
        if (std::optional<CapturedImage> alone = captureWindowAlone(filter, rect, cursor))
            co_return std::move(*alone);

    OwnWindows hidden = OwnWindows::hideVisible();
    if (!hidden.isEmpty())
        co_await QCoro::sleepFor(settleDelay_);
    CapturedImage captured;
    try {
        const auto started = std::chrono::steady_clock::now();
        captured.image = source_->grab(source, cursor);
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - started;
        captured.milliseconds = elapsed.count();
    } catch (...) {
        hidden.restore();
        throw;
    }
    hidden.restore();
    if (filter.windowID != 0)
        captured.notice = windowFromScreenNotice();
    co_return captured;
}

} // namespace tarn
