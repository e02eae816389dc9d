// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTextBoundaryFinder>

#include <gtest/gtest.h>

#include "app/ItemNames.h"

namespace tarn {
namespace {

int graphemes(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

TEST(ItemNamesTest, ExportNamesReplaceSeparatorsTrimAndFallBack)
{
    const struct {
        QString title, extension, expected;
    } cases[] = {
        {QString(), QStringLiteral("png"), QStringLiteral("Tarnwick.png")},
        {QStringLiteral(" \t\n "), QStringLiteral("png"), QStringLiteral("Tarnwick.png")},
        {QStringLiteral("  \u3000 "), QStringLiteral("mov"), QStringLiteral("Tarnwick.mov")},
        {QStringLiteral("a/b:c"), QStringLiteral("png"), QStringLiteral("a-b-c.png")},
        {QStringLiteral("  영역 캡처 12-24 09.05.07 \n"), QStringLiteral("png"),
         QStringLiteral("영역 캡처 12-24 09.05.07.png")},
        {QStringLiteral("/"), QStringLiteral("png"), QStringLiteral("-.png")},
        {QStringLiteral("clip"), QStringLiteral("mp4"), QStringLiteral("clip.mp4")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ItemNames::exportFileName(c.title, c.extension), c.expected) << c.title.toStdString();
}

TEST(ItemNamesTest, LongTitlesAreCutByCharactersAndToTheFileSystemsByteLimit)
{
    // 130 ASCII letters keep 120; a family emoji is one character of many code points; Korean
    // syllables take three bytes each, so 120 of them would pass Linux's 255-byte name limit.
    const QString family = QStringLiteral("👨‍👩‍👧‍👦");
    const struct {
        QString title;
        int characters;
    } cases[] = {
        {QString(130, QLatin1Char('x')), 120},
        {family.repeated(130), 10},
        {QString(130, QChar(0xD55C)), 83},
        {QString(120, QLatin1Char('x')) + QStringLiteral("   tail"), 120},
    };
    for (const auto &c : cases) {
        const QString name = ItemNames::exportFileName(c.title, QStringLiteral("png"));
        ASSERT_TRUE(name.endsWith(QStringLiteral(".png")));
        const QString stem = name.chopped(4);
        EXPECT_EQ(graphemes(stem), c.characters) << name.toStdString();
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_TRUE(c.title.startsWith(stem)); // whole characters, from the start
    }
}

TEST(ItemNamesTest, ImportTitlesDropOnlyTheLastExtension)
{
    const struct {
        QString file, title;
    } cases[] = {
        {QStringLiteral("Shot.png"), QStringLiteral("Shot")},
        {QStringLiteral("clip.mov"), QStringLiteral("clip")},
        {QStringLiteral("archive.tar.gz"), QStringLiteral("archive.tar")},
        {QStringLiteral(".png"), QStringLiteral(".png")},
        {QStringLiteral("README"), QStringLiteral("README")},
        {QStringLiteral("trailing."), QStringLiteral("trailing.")},
        {QStringLiteral("화면 녹화 01.mp4"), QStringLiteral("화면 녹화 01")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ItemNames::importTitle(c.file), c.title) << c.file.toStdString();
}

TEST(ItemNamesTest, ExportFormatFollowsTheChosenExtensionAndDatedTitlesUseTheLocalClock)
{
    const struct {
        QString path;
        ExportFormat format;
    } cases[] = {
        {QStringLiteral("/tmp/a.JPG"), ExportFormat::jpeg},  {QStringLiteral("/tmp/a.jpeg"), ExportFormat::jpeg},
        {QStringLiteral("/tmp/a.JpEg"), ExportFormat::jpeg}, {QStringLiteral("/tmp/a.png"), ExportFormat::png},
        {QStringLiteral("/tmp/a"), ExportFormat::png},       {QStringLiteral("/tmp/a.jpg.txt"), ExportFormat::png},
        {QStringLiteral("/tmp/x.jpg/a"), ExportFormat::png},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ItemNames::exportFormat(c.path), c.format) << c.path.toStdString();

    const QDateTime christmasEve(QDate(2026, 12, 24), QTime(9, 5, 7));
    EXPECT_EQ(ItemNames::datedTitle(QStringLiteral("영역 캡처"), christmasEve),
              QStringLiteral("영역 캡처 12-24 09.05.07"));
    EXPECT_EQ(ItemNames::datedTitle(QStringLiteral("화면 녹화"), QDateTime(QDate(2027, 1, 2), QTime(23, 59, 0))),
              QStringLiteral("화면 녹화 01-02 23.59.00"));

    const QString temporary = ItemNames::temporaryExportName();
    EXPECT_TRUE(temporary.startsWith(QStringLiteral(".tarnwick-")) && temporary.endsWith(QStringLiteral(".tmp")));
    EXPECT_EQ(temporary.size(), 10 + 36 + 4);
    EXPECT_EQ(temporary,
              temporary.toUpper()
                  .replace(QStringLiteral(".TARNWICK-"), QStringLiteral(".tarnwick-"))
                  .replace(QStringLiteral(".TMP"), QStringLiteral(".tmp")));
    EXPECT_NE(temporary, ItemNames::temporaryExportName());
}

} // namespace
} // namespace tarn
