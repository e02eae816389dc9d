// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

#include "app/widgets/TarnButtonStyle.h"
#include "core/model/CaptureItem.h"

class QScreen;

namespace tarn {

// What the quick-capture panel asks of the application model: open the capture's editor, copy
// it, pin it. Each starts its own work and returns at once; the model decides what a busy state
// means for it. The editor and the pin open on `screen`, the panel's, which is the capture's.
class QuickCaptureActions {
public:
    virtual ~QuickCaptureActions() = default;
    virtual void openItem(const CaptureItem &item, QScreen *screen) = 0;
    virtual void copyItem(const CaptureItem &item) = 0;
    virtual void pin(const CaptureItem &item, QScreen *screen) = 0;
};

// The content of the quick-capture panel shown after a capture when no editor opens: a header
// with a close button, the preview, and the edit, copy and pin buttons (each closes the panel).
class QuickCaptureView : public QWidget {
    Q_OBJECT
public:
    QuickCaptureView(CaptureItem item, QImage image, QuickCaptureActions &app, QWidget *parent = nullptr);

    TarnButton *editButton() const { return edit_; }
    TarnButton *copyButton() const { return copy_; }
    TarnButton *pinButton() const { return pin_; }
    QAbstractButton *closeButton() const { return closeButton_; }

Q_SIGNALS:
    // The close button or one of the actions was pressed: the panel should go.
    void closeRequested();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CaptureItem item_;
    QuickCaptureActions &app_;
    TarnButton *edit_;
    TarnButton *copy_;
    TarnButton *pin_;
    QAbstractButton *closeButton_;
};

} // namespace tarn
