// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/ItemNames.h"

#include <algorithm>

#include <QFileInfo>
#include <QTextBoundaryFinder>

#include "core/base/Uuid.h"

namespace tarn::ItemNames {
namespace {

constexpr int maximumCharacters = 120;
constexpr int maximumBytes = 255;

// The offsets in `text` where its user-perceived characters end, in order.
std::vector<qsizetype> graphemeEnds(const QString &text)
{
    std::vector<qsizetype> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    while (finder.toNextBoundary() != -1)
        ends.push_back(finder.position());
    return ends;
}

// Characters that would make a proposed name lie about itself: control characters (a line
// feed, an escape, DEL ...) and the marks that reorder text, which can show "evil\u202Egnp.exe"
// as a name ending in ".png".
bool disguises(QChar c)
{
    const char16_t u = c.unicode();
    return c.category() == QChar::Other_Control || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
        (u >= 0x2066 && u <= 0x2069);
}

} // namespace

QString exportFileName(const QString &title, const QString &extension)
{
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char(':'), QLatin1Char('-'));
    // Surrounding white space (a trailing line feed included) goes first; what stays inside is
    // replaced like a separator.
    name = name.trimmed();
    std::replace_if(name.begin(), name.end(), disguises, QLatin1Char('-'));
    const QString suffix = QLatin1Char('.') + extension;
    if (name.isEmpty())
        return QStringLiteral("Tarnwick") + suffix;
    const std::vector<qsizetype> ends = graphemeEnds(name);
    size_t count = std::min<size_t>(ends.size(), maximumCharacters);
    while (count > 1 && (name.left(ends[count - 1]) + suffix).toUtf8().size() > maximumBytes)
        --count;
    return name.left(ends[count - 1]) + suffix;
}

QString importTitle(const QString &fileName)
{
    // A leading dot starts a hidden name, not an extension; a trailing one ends an empty one.
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == fileName.size() - 1)
        return fileName;
    return fileName.left(dot);
}

QString datedTitle(const QString &prefix, const QDateTime &now)
{
    return prefix + QLatin1Char(' ') + now.toString(QStringLiteral("MM-dd HH.mm.ss"));
}

ExportFormat exportFormat(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    return extension == QLatin1String("jpg") || extension == QLatin1String("jpeg") ? ExportFormat::jpeg
                                                                                   : ExportFormat::png;
}

QStringList videoExportFilters(const QString &extension)
{
    const QString mp4 = QStringLiteral("MPEG-4 동영상 (*.mp4)");
    const QString mov = QStringLiteral("QuickTime 동영상 (*.mov)");
    const QString type = extension.toLower();
    if (type == QLatin1String("mp4") || type == QLatin1String("mov"))
        return {mp4, mov};
    if (type == QLatin1String("mkv"))
        return {QStringLiteral("Matroska 동영상 (*.mkv)")};
    if (type == QLatin1String("webm"))
        return {QStringLiteral("WebM 동영상 (*.webm)")};
    if (type == QLatin1String("avi"))
        return {QStringLiteral("AVI 동영상 (*.avi)")};
    return {QStringLiteral("동영상 (*.") + type + QLatin1Char(')')};
}

QString temporaryExportName()
{
    return QStringLiteral(".tarnwick-") + Uuid::random().toQString() + QStringLiteral(".tmp");
}

} // namespace tarn::ItemNames
