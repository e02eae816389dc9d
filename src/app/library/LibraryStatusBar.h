// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QTimer>
#include <QWidget>

#include "app/capture/RecordingService.h"

class QLabel;

namespace tarn {

class SymbolView;

// A small indeterminate spinner, turning while shown.
class Spinner : public QWidget {
    Q_OBJECT

public:
    explicit Spinner(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer timer_;
    int step_ = 0;
};

// The running recording in the status strip: a coral dot, the elapsed time and a stop symbol.
class RecordingControl : public QAbstractButton {
    Q_OBJECT

public:
    explicit RecordingControl(QWidget *parent = nullptr);
    void setSeconds(double seconds);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The strip along the bottom of the content column: whether work is running, the status line,
// a running recording with its stop button, and the library's item count and stored size.
class LibraryStatusBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int barHeight = 34;

    explicit LibraryStatusBar(QWidget *parent = nullptr);

    void setBusy(bool busy);
    void setStatus(const QString &status);
    void setRecorder(RecordingService::State state, double seconds);
    void setLibraryStats(const QString &stats);

    QString status() const { return status_; }
    QString libraryStats() const;
    RecordingControl *recordingControl() const { return recording_; }
    bool showsSpinner() const;

Q_SIGNALS:
    void recordingToggled();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Spinner *spinner_;
    SymbolView *shield_;
    QWidget *statusText_;
    QString status_;
    RecordingControl *recording_;
    QLabel *stats_;
};

} // namespace tarn
