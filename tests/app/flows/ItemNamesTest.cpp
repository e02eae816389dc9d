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

// A title may hold anything a pasted text holds. Inside the name, control characters and the
// marks that reorder text turn into "-" like a slash: a right-to-left override would otherwise
// show "evil\u202Egnp.exe.png" as a name ending in "exe.png". Every other character stays,
// joiners and combining marks included.
TEST(ItemNamesTest, ExportNamesShowNoControlCharactersNorReorderingMarks)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("line\nfeed\ttab"), QStringLiteral("line-feed-tab.png")},
        {QStringLiteral("a\x01"
                        "b\x1b[31mc\x7f"),
         QStringLiteral("a-b-[31mc-.png")},
        {QStringLiteral("\u202Eevil\u202Cgnp.exe"), QStringLiteral("-evil-gnp.exe.png")},
        {QStringLiteral("\u202Aa\u202Bb\u202Dc\u2066d\u2067e\u2068f\u2069g\u200Eh\u200F"),
         QStringLiteral("-a-b-c-d-e-f-g-h-.png")},
        {QStringLiteral(" \x01 "), QStringLiteral("-.png")},
        {QStringLiteral("\n\r\x85보고서\t"), QStringLiteral("보고서.png")},
        {QStringLiteral("e\u0301\u00AD\u200D\u200C한글 مرحبا"),
         QStringLiteral("e\u0301\u00AD\u200D\u200C한글 مرحبا.png")},
        {QStringLiteral("\x01").repeated(130), QString(120, u'-') + QStringLiteral(".png")},
    };
    for (const auto &[title, expected] : cases)
        EXPECT_EQ(ItemNames::exportFileName(title, QStringLiteral("png")), expected) << title.toStdString();
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
