// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/model/Preferences.h"

namespace tarn {

Preferences::Preferences(bool demo, QObject *parent)
    : QObject(parent),
      defaults_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnwick"),
                                            demo ? demoSuite : QStringLiteral("Tarnwick")))
{
    readAll();
}

Preferences::Preferences(const QString &iniFile, QObject *parent)
    : QObject(parent),
      defaults_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
    readAll();
}

Preferences::~Preferences() = default;

QString Preferences::fileName() const { return defaults_->fileName(); }

// A missing key reads as its default; nothing is written back, so a rejected stored value stays
// in the file until the setting is next assigned.
void Preferences::readAll()
{
    captureCursor_ = readBool("captureCursor", false);
    openEditor_ = readBool("openEditor", true);
    copyAfterCapture_ = readBool("copyAfterCapture", false);
    automaticOCR_ = readBool("automaticOCR", true);
    captureDelay_ = readInt("captureDelay", 0);
    globalShortcuts_ = readBool("globalShortcuts", true);
    systemAudio_ = readBool("systemAudio", false);
    microphone_ = readBool("microphone", false);
    recordingRegion_ = readBool("recordingRegion", false);
    const int rate = readInt("frameRate", 60);
    frameRate_ = (rate == 60 || rate == 30) ? rate : 60;
    const int edge = readInt("recordingLongEdge", 3840);
    recordingLongEdge_ = (edge == 3840 || edge == 1920) ? edge : 3840;
}

bool Preferences::readBool(const char *key, bool fallback) const
{
    const QVariant value = defaults_->value(QLatin1String(key));
    return value.isValid() ? value.toBool() : fallback;
}

// INI files keep text; a value that is not a whole number reads as 0, as an integer read of a
// non-numeric stored value does.
int Preferences::readInt(const char *key, int fallback) const
{
    const QVariant value = defaults_->value(QLatin1String(key));
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : 0;
}

void Preferences::write(const char *key, const QVariant &value)
{
    defaults_->setValue(QLatin1String(key), value);
    defaults_->sync();
}

#define TARN_PREFERENCE_SETTER(Setter, member, key, Type)                                                              \
    void Preferences::Setter(Type value)                                                                               \
    {                                                                                                                  \
        member##_ = value;                                                                                             \
        Q_EMIT member##Changed(value);                                                                                 \
        write(key, value);                                                                                             \
    }

TARN_PREFERENCE_SETTER(setCaptureCursor, captureCursor, "captureCursor", bool)
TARN_PREFERENCE_SETTER(setOpenEditor, openEditor, "openEditor", bool)
TARN_PREFERENCE_SETTER(setCopyAfterCapture, copyAfterCapture, "copyAfterCapture", bool)
TARN_PREFERENCE_SETTER(setAutomaticOCR, automaticOCR, "automaticOCR", bool)
TARN_PREFERENCE_SETTER(setCaptureDelay, captureDelay, "captureDelay", int)
TARN_PREFERENCE_SETTER(setGlobalShortcuts, globalShortcuts, "globalShortcuts", bool)
TARN_PREFERENCE_SETTER(setFrameRate, frameRate, "frameRate", int)
TARN_PREFERENCE_SETTER(setRecordingLongEdge, recordingLongEdge, "recordingLongEdge", int)
TARN_PREFERENCE_SETTER(setSystemAudio, systemAudio, "systemAudio", bool)
TARN_PREFERENCE_SETTER(setMicrophone, microphone, "microphone", bool)
TARN_PREFERENCE_SETTER(setRecordingRegion, recordingRegion, "recordingRegion", bool)

#undef TARN_PREFERENCE_SETTER

} // namespace tarn
