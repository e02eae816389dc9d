// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "app/capture/RecordingService.h"

namespace tarn {

// The coral square stop button of the HUD.
class StopButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit StopButton(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {30, 30}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The recording HUD: the recording dot, the elapsed time ("저장 중…" while stopping), the file
// size so far, the stop shortcut and the stop button. Follows the recorder's state and progress.
class RecordingHUD : public QWidget {
    Q_OBJECT
public:
    explicit RecordingHUD(RecordingService *recorder, QWidget *parent = nullptr);

    // Shows one state of a recording (what the recorder's signals lead to).
    void present(RecordingService::State state, double seconds, qint64 byteCount);

    QString timeText() const { return time_->text(); }
    QString sizeText() const { return size_->text(); }
    StopButton *stopButton() const { return stop_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();

    QPointer<RecordingService> recorder_;
    QLabel *time_;
    QLabel *size_;
    StopButton *stop_;
};

} // namespace tarn
