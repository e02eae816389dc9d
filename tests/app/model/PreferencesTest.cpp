// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/model/Preferences.h"

namespace tarn {
namespace {

class PreferencesTest : public ::testing::Test {
protected:
    QString file(const QString &name = QStringLiteral("Tarnwick.ini")) const { return dir_.filePath(name); }
    QVariant stored(const QString &key) const { return QSettings(file(), QSettings::IniFormat).value(key); }
    void store(const QString &key, const QVariant &value)
    {
        QSettings settings(file(), QSettings::IniFormat);
        settings.setValue(key, value);
    }

    QTemporaryDir dir_;
};

// Reading writes nothing: not the defaults of an empty store, nor the fallback for a rate
// outside the offered set.
TEST_F(PreferencesTest, StoredValuesAreReadAndOutOfSetRatesFallBackWithoutRewriting)
{
    {
        Preferences empty(file());
        EXPECT_EQ(empty.frameRate(), 60);
        EXPECT_FALSE(empty.microphone());
    }
    EXPECT_TRUE(QSettings(file(), QSettings::IniFormat).allKeys().isEmpty());
    store(QStringLiteral("frameRate"), 24);
    store(QStringLiteral("recordingLongEdge"), 2560);
    store(QStringLiteral("captureDelay"), 7);
    store(QStringLiteral("openEditor"), false);
    store(QStringLiteral("microphone"), true);
    {
        Preferences preferences(file());
        EXPECT_EQ(preferences.frameRate(), 60);
        EXPECT_EQ(preferences.recordingLongEdge(), 3840);
        EXPECT_EQ(preferences.captureDelay(), 7);
        EXPECT_FALSE(preferences.openEditor());
        EXPECT_TRUE(preferences.microphone());
    }
    EXPECT_EQ(stored(QStringLiteral("frameRate")).toInt(), 24);
    EXPECT_EQ(stored(QStringLiteral("recordingLongEdge")).toInt(), 2560);

    store(QStringLiteral("recordingLongEdge"), 1920);
    store(QStringLiteral("frameRate"), 30);
    Preferences again(file());
    EXPECT_EQ(again.recordingLongEdge(), 1920);
    EXPECT_EQ(again.frameRate(), 30);
}

TEST_F(PreferencesTest, EveryAssignmentIsPublishedAndWrittenAtOnce)
{
    Preferences preferences(file());
    QSignalSpy spy(&preferences, &Preferences::globalShortcutsChanged);
    preferences.setGlobalShortcuts(false);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(stored(QStringLiteral("globalShortcuts")).toBool(), false);

    // Assignments are not validated; the next start replaces the out-of-set rate.
    preferences.setFrameRate(24);
    preferences.setCaptureDelay(5);
    preferences.setRecordingRegion(true);
    EXPECT_EQ(preferences.frameRate(), 24);
    EXPECT_EQ(stored(QStringLiteral("frameRate")).toInt(), 24);
    EXPECT_EQ(stored(QStringLiteral("captureDelay")).toInt(), 5);
    Preferences reopened(file());
    EXPECT_EQ(reopened.frameRate(), 60);
    EXPECT_EQ(reopened.captureDelay(), 5);
    EXPECT_TRUE(reopened.recordingRegion());
    EXPECT_FALSE(reopened.globalShortcuts());
}

// Points the per-user settings of the process at a folder while it lives, then back. The
// environment cannot do this: the settings folder is fixed once the first one is opened.
class UserSettingsFolder {
public:
    explicit UserSettingsFolder(const QString &path) : previous_(current())
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
    }
    ~UserSettingsFolder() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, previous_); }

private:
    // The folder above the organization folder of any per-user settings file.
    static QString current()
    {
        const QString file =
            QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("o"), QStringLiteral("a")).fileName();
        return QFileInfo(file).dir().absolutePath().chopped(2); // without "/o"
    }

    QString previous_;
};

TEST_F(PreferencesTest, DemoSuiteAndOrdinaryStoreAreSeparateFiles)
{
    UserSettingsFolder folder(dir_.path());
    {
        Preferences demo(true);
        Preferences ordinary(false);
        EXPECT_TRUE(demo.fileName().endsWith(QStringLiteral("/com.tarnwick.preview.ini")));
        EXPECT_TRUE(demo.fileName().startsWith(dir_.path() + QLatin1Char('/')));
        EXPECT_TRUE(ordinary.fileName().startsWith(dir_.path() + QLatin1Char('/')));
        EXPECT_NE(demo.fileName(), ordinary.fileName());
        demo.setCaptureDelay(3);
        ordinary.setAutomaticOCR(false);
    }
    Preferences demo(true);
    Preferences ordinary(false);
    EXPECT_EQ(demo.captureDelay(), 3);
    EXPECT_TRUE(demo.automaticOCR());
    EXPECT_EQ(ordinary.captureDelay(), 0);
    EXPECT_FALSE(ordinary.automaticOCR());
}

} // namespace
} // namespace tarn
