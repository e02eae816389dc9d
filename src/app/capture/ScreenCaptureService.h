// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QRectF>

#include <qcoro/qcorotask.h>

#include "app/capture/CapturedImage.h"
#include "app/capture/ShareableContent.h"
#include "platform/ContentFilter.h"
#include "platform/ScreenSource.h"

namespace tarn {

// Still capture: the displays and windows that may be captured, the filter of one display, and
// one screenshot of a filter, whole or a rectangle of it, with the time it took. Lives on the
// GUI thread for the whole run and keeps no state between calls.
class ScreenCaptureService : public QObject {
    Q_OBJECT
public:
    // Device pixels per point of a display.
    using ScaleOf = std::function<double(const DisplayInfo &)>;

    // Without a source the X11 desktop is used; without a scale function the QScreen of the
    // same name answers.
    explicit ScreenCaptureService(std::unique_ptr<ScreenSource> source = nullptr, ScaleOf scaleOf = nullptr,
                                  QObject *parent = nullptr);
    ~ScreenCaptureService() override;

    // Throws CaptureFailure::permission without an X display.
    QCoro::Task<ShareableContent> availableContent();
    // The windows a user may pick: ordinary, at least 80 x 60 points, titled, not ours; sorted
    // by application name, stable.
    QCoro::Task<std::vector<ShareableWindow>> availableWindows();
    // The filter of one display; throws CaptureFailure::displayUnavailable for an unknown id.
    QCoro::Task<ContentFilter> displayFilter(uint32_t displayID);
    // The filter of one window of the content.
    static ContentFilter windowFilter(const ShareableWindow &window);
    // One screenshot of the filter's content, or of the part of `region` (points, origin at the
    // content's top-left) that lies on it. A window filter gives the window alone, as it draws
    // itself, even where it is covered or off the screen; where the server cannot do that, the
    // screen inside the window's frame, said in the notice. Throws the image-size errors before
    // grabbing, and ScreenSourceFailure when the grab fails.
    QCoro::Task<CapturedImage> capture(ContentFilter filter, std::optional<QRectF> region, bool cursor);

    // The pause between hiding this process's windows and the grab, for the other clients to
    // repaint what the windows covered.
    void setSettleDelay(std::chrono::milliseconds delay) { settleDelay_ = delay; }
    ScreenSource &source() { return *source_; }

    // The notice of a window capture that had to read the screen instead of the window.
    static QString windowFromScreenNotice();

private:
    std::optional<CapturedImage> captureWindowAlone(const ContentFilter &filter, const QRectF &rect, bool cursor);

    std::unique_ptr<ScreenSource> source_;
    ScaleOf scaleOf_;
    std::chrono::milliseconds settleDelay_{120};
};

// The device rectangle of the root that a capture of `rect` (points) of the filter reads,
// `pixelSize` big, kept inside the filter's content.
QRect nativeCaptureRect(const ContentFilter &filter, const QRectF &rect, QSize pixelSize);

} // namespace tarn
