// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "app/settings/ChoicePicker.h"
#include "app/settings/SettingToggle.h"

class QLabel;
class QStackedWidget;

namespace tarn {

// The "캡처" page of the settings window: the pointer and delay of screenshots, automatic text
// recognition, and the screen-recording permission with the way to the system's settings.
class CaptureSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit CaptureSettingsPage(QWidget *parent = nullptr);

    SettingToggle *captureCursor() const { return captureCursor_; }
    ChoicePicker *captureDelay() const { return captureDelay_; }
    SettingToggle *automaticOCR() const { return automaticOCR_; }

    void setScreenPermission(bool granted);
    bool showsPermissionGranted() const;

private:
    SettingToggle *captureCursor_;
    ChoicePicker *captureDelay_;
    SettingToggle *automaticOCR_;
    QStackedWidget *permission_;
};

} // namespace tarn
