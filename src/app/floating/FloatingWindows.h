// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "app/floating/FloatingPanel.h"
#include "core/model/CaptureItem.h"

class QScreen;

namespace tarn {

class QuickCaptureActions;
class RecordingService;

// Hides a panel and deletes it from the event loop (it may be the sender of the running event).
struct PanelDeleter {
    void operator()(QWidget *panel) const
    {
        panel->hide();
        panel->deleteLater();
    }
};
using PanelPointer = std::unique_ptr<FloatingPanel, PanelDeleter>;

// The one owner of the small windows outside the library and editor windows: extracted-text
// windows, video windows and pinned images (kept until closed), the quick-capture panel, the
// recording HUD and the countdown panel.
class FloatingWindows : public QObject {
    Q_OBJECT
public:
    static constexpr int maximumPins = 8;
    static inline const QString pinIdentifier = QStringLiteral("Tarnwick.pin");

    explicit FloatingWindows(QObject *parent = nullptr);
    ~FloatingWindows() override;

    // Every window opens on the screen of the work it belongs to, `screen`: the screen of the
    // capture, of the editor or of the library window that asked. Without one it opens on the
    // pointer's screen.

    // A new extracted-text window, brought forward and activated.
    void showText(const QString &text, QScreen *screen = nullptr);
    // The quick-capture panel for a new capture, replacing the previous one; it hides itself
    // after the dismissal delay (10 s).
    void showCapture(const CaptureItem &item, const QImage &image, QuickCaptureActions &app, QScreen *screen = nullptr);
    // A new video window playing the file.
    void showVideo(const QUrl &url, const QString &title, QScreen *screen = nullptr);
    // A new pinned-image window; with eight pins open the oldest is closed first.
    void pin(const QImage &image, const QString &title, QScreen *screen = nullptr);
    // The recording HUD bound to the recorder at the top centre of the screen. For a region
    // recording `region` (global, in points) is the recorded rectangle: the HUD moves out of
    // it when the screen has room, since X11 would record it.
    void showRecording(RecordingService *recorder, QScreen *screen, std::optional<QRect> region = std::nullopt);
    // Shows or updates the countdown panel with the remaining seconds; its cancel button
    // emits `countdownCancelled`. A new panel is centred on the screen; one that exists stays
    // where it is.
    void showCountdown(int value, QScreen *screen = nullptr);
    // Closes every pinned-image window; text and video windows stay.
    void closePins();

    // The HUD and the countdown panel belong to the owner to order out and clear: resetting
    // the pointer hides and releases the panel.
    PanelPointer recordingPanel;
    PanelPointer countdownPanel;

    FloatingPanel *capturePanel() const { return capturePanel_.get(); }
    // The open text, video and pinned-image windows, oldest first.
    std::vector<QWidget *> windows() const;

    void setCaptureDismissalDelay(std::chrono::milliseconds delay) { captureDismissal_.setInterval(delay); }

    // Where the panels go on a screen's available area (y grows downwards).
    static QPoint capturePanelOrigin(const QRect &available);
    static QPoint recordingPanelOrigin(const QRect &available, std::optional<QRect> region = std::nullopt);
    // The content size of a pin for an image of that pixel size.
    static QSize pinSize(QSize imagePixels);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    // The countdown panel's cancel button was pressed.
    void countdownCancelled();
    // A text, video or pinned-image window has been made; it has no menu bar of its own.
    void windowOpened(QWidget *window);

private:
    void adopt(QWidget *window);
    void windowWillClose(QWidget *window);
    void pruneClosed();

    std::vector<QPointer<QWidget>> windows_;
    PanelPointer capturePanel_;
    QTimer captureDismissal_;
};

} // namespace tarn
