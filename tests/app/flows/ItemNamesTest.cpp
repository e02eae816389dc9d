// SPDX-License-Identifier: GPL-3.0-or-later
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "app/flows/ItemNames.h"

namespace tarn {
namespace {

TEST(ItemNamesTest, ExportNamesAreCleanedAndCutByCharactersAndBytes)
{
    // 120 Korean syllables would take 360 bytes: Linux allows 255 per name.
    const QString family = QStringLiteral("👨‍👩‍👧‍👦"); // one character of seven code points
    const struct {
        QString title, extension, expected;
    } cases[] = {
        {QString(), QStringLiteral("png"), QStringLiteral("Tarnwick.png")},
        {QStringLiteral(" \t\n\u3000"), QStringLiteral("mov"), QStringLiteral("Tarnwick.mov")},
        {QStringLiteral(" a/b:c \n"), QStringLiteral("png"), QStringLiteral("a-b-c.png")},
        {QString(130, u'x'), QStringLiteral("png"), QString(120, u'x') + QStringLiteral(".png")},
        {QString(119, u'x') + QStringLiteral("  tail"), QStringLiteral("png"),
         QString(119, u'x') + QStringLiteral(" .png")},
        {family.repeated(130), QStringLiteral("png"), family.repeated(10) + QStringLiteral(".png")},
        {QString(130, QChar(0xD55C)), QStringLiteral("png"), QString(83, QChar(0xD55C)) + QStringLiteral(".png")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ItemNames::exportFileName(c.title, c.extension), c.expected) << c.title.toStdString();
        EXPECT_LE(c.expected.toUtf8().size(), 255);
    }
}

TEST(ItemNamesTest, TitlesFormatsAndTemporaryNames)
{
    const std::pair<QString, QString> imports[] = {
        {QStringLiteral("Shot.png"), QStringLiteral("Shot")},
        {QStringLiteral("archive.tar.gz"), QStringLiteral("archive.tar")},
        {QStringLiteral(".png"), QStringLiteral(".png")},
        {QStringLiteral("README"), QStringLiteral("README")},
        {QStringLiteral("trailing."), QStringLiteral("trailing.")},
    };
    for (const auto &[file, title] : imports)
        EXPECT_EQ(ItemNames::importTitle(file), title) << file.toStdString();
    const std::pair<QString, ExportFormat> formats[] = {
        {QStringLiteral("/t/a.JPG"), ExportFormat::jpeg},    {QStringLiteral("/t/a.JpEg"), ExportFormat::jpeg},
        {QStringLiteral("/t/a.png"), ExportFormat::png},     {QStringLiteral("/t/a"), ExportFormat::png},
        {QStringLiteral("/t/a.jpg.txt"), ExportFormat::png},
    };
    for (const auto &[path, format] : formats)
        EXPECT_EQ(ItemNames::exportFormat(path), format) << path.toStdString();
    EXPECT_EQ(ItemNames::datedTitle(QStringLiteral("영역 캡처"), QDateTime(QDate(2026, 12, 24), QTime(9, 5, 7))),
              QStringLiteral("영역 캡처 12-24 09.05.07"));
    // A copied container keeps its own name: only MPEG-4 and QuickTime share theirs.
    const std::pair<QString, QStringList> videoTypes[] = {
        {QStringLiteral("mp4"), {QStringLiteral("MPEG-4 동영상 (*.mp4)"), QStringLiteral("QuickTime 동영상 (*.mov)")}},
        {QStringLiteral("mov"), {QStringLiteral("MPEG-4 동영상 (*.mp4)"), QStringLiteral("QuickTime 동영상 (*.mov)")}},
        {QStringLiteral("webm"), {QStringLiteral("WebM 동영상 (*.webm)")}},
        {QStringLiteral("mkv"), {QStringLiteral("Matroska 동영상 (*.mkv)")}},
    };
    for (const auto &[extension, filters] : videoTypes)
        EXPECT_EQ(ItemNames::videoExportFilters(extension), filters) << extension.toStdString();
    const QString temporary = ItemNames::temporaryExportName();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\.tarnwick-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.tmp$"))
                    .match(temporary)
                    .hasMatch());
}

} // namespace
} // namespace tarn
