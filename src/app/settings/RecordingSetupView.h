// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "app/settings/ChoicePicker.h"
#include "app/settings/RecordingDisplays.h"
#include "app/settings/SettingToggle.h"
#include "app/settings/SheetDialog.h"
#include "app/widgets/TarnButtonStyle.h"

namespace tarn {

// The sheet every recording started from the interface passes through: which display to
// record, whole or a dragged area, frame rate, size limit, system audio and microphone. Of its
// own it keeps only the chosen display; the other controls show values owned elsewhere and
// report the user's changes. The start button asks for a recording of the chosen display and
// is disabled while the application is busy; the sheet never closes itself.
class RecordingSetupView : public SheetDialog {
    Q_OBJECT

public:
    static constexpr int width = 590;

    explicit RecordingSetupView(const std::vector<DisplayChoice> &displays, QWidget *parent = nullptr);

    // The chosen display; 0 when nothing is offered.
    uint32_t displayID() const;
    void setDisplayID(uint32_t displayID);
    void setBusy(bool busy);

    ChoicePicker *displayPicker() const { return display_; }
    SettingToggle *recordingRegion() const { return recordingRegion_; }
    ChoicePicker *frameRate() const { return frameRate_; }
    ChoicePicker *recordingLongEdge() const { return recordingLongEdge_; }
    SettingToggle *systemAudio() const { return systemAudio_; }
    SettingToggle *microphone() const { return microphone_; }
    TarnButton *startButton() const { return start_; }

Q_SIGNALS:
    void startRequested(uint32_t displayID);

private:
    QWidget *displayCard();
    QWidget *pickerRow();
    QWidget *footerRow();

    ChoicePicker *display_;
    SettingToggle *recordingRegion_;
    ChoicePicker *frameRate_;
    ChoicePicker *recordingLongEdge_;
    SettingToggle *systemAudio_;
    SettingToggle *microphone_;
    TarnButton *start_;
};

} // namespace tarn
