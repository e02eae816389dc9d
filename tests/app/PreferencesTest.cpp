#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/Preferences.h"

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

TEST_F(PreferencesTest, EmptyStoreReadsTheDefaultsAndWritesNothing)
{
    Preferences preferences(file());
    EXPECT_FALSE(preferences.captureCursor());
    EXPECT_TRUE(preferences.openEditor());
    EXPECT_FALSE(preferences.copyAfterCapture());
    EXPECT_TRUE(preferences.automaticOCR());
    EXPECT_EQ(preferences.captureDelay(), 0);
    EXPECT_TRUE(preferences.globalShortcuts());
    EXPECT_EQ(preferences.frameRate(), 60);
    EXPECT_EQ(preferences.recordingLongEdge(), 3840);
    EXPECT_FALSE(preferences.systemAudio());
    EXPECT_FALSE(preferences.microphone());
    EXPECT_FALSE(preferences.recordingRegion());
    EXPECT_TRUE(QSettings(file(), QSettings::IniFormat).allKeys().isEmpty());
}

TEST_F(PreferencesTest, StoredValuesAreReadAndOutOfSetRatesFallBackWithoutRewriting)
{
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

TEST_F(PreferencesTest, DemoSuiteAndOrdinaryStoreAreSeparateFiles)
{
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    {
        Preferences demo(true);
        Preferences ordinary(false);
        EXPECT_TRUE(demo.fileName().endsWith(QStringLiteral("/com.tarnwick.preview.ini")));
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
