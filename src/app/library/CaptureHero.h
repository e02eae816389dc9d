// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "app/capture/RecordingService.h"
#include "app/library/CaptureAction.h"
#include "app/library/LibrarySection.h"

namespace tarn {

class CaptureActionButton;
class CaptureButtonRow;
class HeroArtwork;

// The panel that starts captures from the library window: the headline beside the artwork,
// then region, window and full-screen capture and the recording button, which becomes the
// stop button while a recording runs. The buttons take clicks only while the library is ready
// and nothing else runs.
class CaptureHero : public QWidget {
    Q_OBJECT

public:
    explicit CaptureHero(QWidget *parent = nullptr);

    void setActionsEnabled(bool enabled);
    void setRecorderState(RecordingService::State state);
    CaptureActionButton *recordButton() const { return record_; }
    CaptureButtonRow *actions() const { return actions_; }

Q_SIGNALS:
    void captureRequested(tarn::CaptureAction action);
    void recordingToggled();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *makeText();
    QWidget *makeActions();

    HeroArtwork *artwork_ = nullptr;
    CaptureButtonRow *actions_ = nullptr;
    CaptureActionButton *record_ = nullptr;
};

} // namespace tarn
