// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QObject>
#include <QSettings>
#include <QString>

#include "app/capture/RecordingService.h"

namespace tarn {

// The eleven user settings, each kept in the settings store under its own name and written the
// moment it is assigned. A demo run keeps its settings in a suite of its own.
class Preferences : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool captureCursor READ captureCursor WRITE setCaptureCursor NOTIFY captureCursorChanged)
    Q_PROPERTY(bool openEditor READ openEditor WRITE setOpenEditor NOTIFY openEditorChanged)
    Q_PROPERTY(bool copyAfterCapture READ copyAfterCapture WRITE setCopyAfterCapture NOTIFY copyAfterCaptureChanged)
    Q_PROPERTY(bool automaticOCR READ automaticOCR WRITE setAutomaticOCR NOTIFY automaticOCRChanged)
    Q_PROPERTY(int captureDelay READ captureDelay WRITE setCaptureDelay NOTIFY captureDelayChanged)
    Q_PROPERTY(bool globalShortcuts READ globalShortcuts WRITE setGlobalShortcuts NOTIFY globalShortcutsChanged)
    Q_PROPERTY(int frameRate READ frameRate WRITE setFrameRate NOTIFY frameRateChanged)
    Q_PROPERTY(int recordingLongEdge READ recordingLongEdge WRITE setRecordingLongEdge NOTIFY recordingLongEdgeChanged)
    Q_PROPERTY(bool systemAudio READ systemAudio WRITE setSystemAudio NOTIFY systemAudioChanged)
    Q_PROPERTY(bool microphone READ microphone WRITE setMicrophone NOTIFY microphoneChanged)
    Q_PROPERTY(bool recordingRegion READ recordingRegion WRITE setRecordingRegion NOTIFY recordingRegionChanged)

public:
    // The suite of demo and UI smoke runs.
    static inline const QString demoSuite = QStringLiteral("com.tarnwick.preview");

    // The ordinary settings file, or the demo suite's own file.
    explicit Preferences(bool demo, QObject *parent = nullptr);
    // Settings kept in the given INI file (tests point this into a temporary folder).
    explicit Preferences(const QString &iniFile, QObject *parent = nullptr);
    ~Preferences() override;

    // Where the values are written.
    QString fileName() const;

    bool captureCursor() const { return captureCursor_; }
    bool openEditor() const { return openEditor_; }
    bool copyAfterCapture() const { return copyAfterCapture_; }
    bool automaticOCR() const { return automaticOCR_; }
    int captureDelay() const { return captureDelay_; }
    bool globalShortcuts() const { return globalShortcuts_; }
    int frameRate() const { return frameRate_; }
    // The recording preferences as one value, read when a recording starts.
    RecordingSettings recordingSettings() const { return {frameRate_, recordingLongEdge_, systemAudio_, microphone_}; }
    int recordingLongEdge() const { return recordingLongEdge_; }
    bool systemAudio() const { return systemAudio_; }
    bool microphone() const { return microphone_; }
    bool recordingRegion() const { return recordingRegion_; }

    void setCaptureCursor(bool value);
    void setOpenEditor(bool value);
    void setCopyAfterCapture(bool value);
    void setAutomaticOCR(bool value);
    void setCaptureDelay(int value);
    void setGlobalShortcuts(bool value);
    void setFrameRate(int value);
    void setRecordingLongEdge(int value);
    void setSystemAudio(bool value);
    void setMicrophone(bool value);
    void setRecordingRegion(bool value);

Q_SIGNALS:
    void captureCursorChanged(bool value);
    void openEditorChanged(bool value);
    void copyAfterCaptureChanged(bool value);
    void automaticOCRChanged(bool value);
    void captureDelayChanged(int value);
    void globalShortcutsChanged(bool value);
    void frameRateChanged(int value);
    void recordingLongEdgeChanged(int value);
    void systemAudioChanged(bool value);
    void microphoneChanged(bool value);
    void recordingRegionChanged(bool value);

private:
    void readAll();
    bool readBool(const char *key, bool fallback) const;
    int readInt(const char *key, int fallback) const;
    void write(const char *key, const QVariant &value);

    std::unique_ptr<QSettings> defaults_;
    bool captureCursor_ = false;
    bool openEditor_ = true;
    bool copyAfterCapture_ = false;
    bool automaticOCR_ = true;
    int captureDelay_ = 0;
    bool globalShortcuts_ = true;
    int frameRate_ = 60;
    int recordingLongEdge_ = 3840;
    bool systemAudio_ = false;
    bool microphone_ = false;
    bool recordingRegion_ = false;
};

} // namespace tarn
