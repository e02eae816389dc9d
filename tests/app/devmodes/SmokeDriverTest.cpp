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

// A part counts as shown only where the window's picture draws it: visible, inside the picture,
// and with more than one colour (a label that drew its text).
TEST(SmokeDriver, FindsAPartDrawnInTheWindowPicture)
{
    QTemporaryDir dir;
    QWidget window;
    window.resize(320, 200);
    auto *title = new QLabel(QStringLiteral("설정"), &window);
    title->setGeometry(20, 20, 120, 30);
    auto *hidden = new QLabel(QStringLiteral("일반"), &window);
    hidden->setGeometry(20, 60, 120, 30);
    hidden->hide();
    auto *outside = new QLabel(QStringLiteral("녹화 시작"), &window);
    outside->setGeometry(260, 180, 120, 30);
    auto *empty = new QLabel(QString(), &window);
    empty->setGeometry(20, 100, 120, 30);
    const QImage picture = SmokeDriver::snapshot(&window, dir.path(), QStringLiteral("sheet.png"));
    struct Row {
        const char *name;
        QWidget *part;
        bool drawn;
    };
    for (const Row &row : {Row{"a label with its text", title, true}, Row{"a hidden label", hidden, false},
                           Row{"a label past the window's edge", outside, false}, Row{"an empty label", empty, false},
                           Row{"no part", nullptr, false}})
        EXPECT_EQ(SmokeDriver::drawnIn(picture, &window, row.part), row.drawn) << row.name;
}

TEST(SmokeDriver, DigestIsSixtyFourLowerCaseDigitsWithLeadingZeros)
{
    EXPECT_EQ(SmokeDriver::sha256Hex("abc"),
              QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

} // namespace
} // namespace tarn
