// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

#include <QFuture>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include "core/base/Failure.h"

namespace tarn {

// An error reported by the recorder's platform layer (capture, encoder, file, sound server),
// with its Korean description.
class RecorderFailure : public Failure {
public:
    explicit RecorderFailure(QString message) : message_(std::move(message)) { }
    QString description() const override { return message_; }

private:
    QString message_;
};

// What one recording asks of the backend.
struct RecorderRequest {
    QRect sourceRect;   // the grabbed area in root-window device pixels
    QSize outputSize;   // the encoded size (even sides); scaled from sourceRect when different
    int frameRate = 60; // frames per second
    bool systemAudio = false;
    bool microphone = false;
    QString path; // the MP4 file written
};

// One running recording. Created and driven on the GUI thread; its worker threads only post
// events, which arrive as the signals below on the GUI thread. The futures resolve with an
// empty string on success, else with a complete Korean sentence.
class RecorderSession : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~RecorderSession() override = default;

    // Opens the file and starts grabbing; resolves once capture runs.
    virtual QFuture<QString> startCapture() = 0;
    // Stops grabbing; resolves when capture has stopped. The file is then finished on the
    // writer thread, which reports recordingFinished or recordingFailed.
    virtual QFuture<QString> stopCapture() = 0;
    // Shuts everything down at once and closes the file as it is; emits closed() when no
    // thread of the session runs any more. Safe to call more than once.
    virtual void abort() = 0;
    virtual bool isClosed() const = 0;

    // Progress, readable from the GUI thread at any time. The seconds are the film's length so
    // far, counted from its start, not what the encoder has caught up with.
    virtual double recordedSeconds() const = 0;
    virtual int64_t recordedBytes() const = 0;

Q_SIGNALS:
    void recordingStarted();               // the first video frame is in the file
    void recordingFinished();              // the file is complete and closed
    void recordingFailed(QString message); // encoding or writing failed; the file is closed
    // Stopped before the first video frame: nothing was recorded and the empty file is removed.
    void recordingDiscarded(QString message);
    void streamStopped(QString message); // capture ended by itself; the file is finished after
    void closed();                       // after abort(): every thread has ended
};

// Makes sessions; one instance per application.
class RecorderBackend {
public:
    virtual ~RecorderBackend() = default;
    // Resolves true when the default audio input can be opened.
    virtual QFuture<bool> checkMicrophone() = 0;
    virtual std::unique_ptr<RecorderSession> createSession(const RecorderRequest &request) = 0;
};

} // namespace tarn
