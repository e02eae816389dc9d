// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/devmodes/SmokeDriver.h"

namespace tarn {
namespace {

QString messageOf(const std::function<void()> &step)
{
    try {
        step();
    } catch (const AppError &error) {
        EXPECT_EQ(error.domain(), QStringLiteral("Tarnwick.UISmoke"));
        EXPECT_EQ(error.code(), 1);
        return error.message();
    }
    return {};
}

TEST(SmokeDriver, SnapshotsAWindowAsPngOrNamesTheMissingFile)
{
    QTemporaryDir dir;
    EXPECT_EQ(messageOf([&] { SmokeDriver::snapshot(nullptr, dir.path(), QStringLiteral("04-settings.png")); }),
              QStringLiteral("Snapshot window is missing: 04-settings.png"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("04-settings.png"))));

    QLabel window(QStringLiteral("스모크"));
    window.resize(320, 200);
    SmokeDriver::snapshot(&window, dir.path(), QStringLiteral("01-library.png"));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("01-library.png"))).size(), QSize(320, 200));
}

TEST(SmokeDriver, DigestIsSixtyFourLowerCaseDigitsWithLeadingZeros)
{
    EXPECT_EQ(SmokeDriver::sha256Hex("abc"),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

} // namespace
} // namespace tarn
