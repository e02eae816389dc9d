// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "app/settings/ChoicePicker.h"
#include "app/settings/SettingToggle.h"

namespace tarn {

// The "녹화" page of the settings window: the frame rate and size limit of recordings, and
// whether system audio and the microphone are recorded. The recorder reads these values when
// a recording starts.
class RecordingSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit RecordingSettingsPage(QWidget *parent = nullptr);

    ChoicePicker *frameRate() const { return frameRate_; }
    ChoicePicker *recordingLongEdge() const { return recordingLongEdge_; }
    SettingToggle *systemAudio() const { return systemAudio_; }
    SettingToggle *microphone() const { return microphone_; }

private:
    ChoicePicker *frameRate_;
    ChoicePicker *recordingLongEdge_;
    SettingToggle *systemAudio_;
    SettingToggle *microphone_;
};

} // namespace tarn
