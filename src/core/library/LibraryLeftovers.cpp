// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/LibraryLeftovers.h"

#include <sys/stat.h>

#include <QFile>
#include <QSet>

#include "core/base/Uuid.h"
#include "core/library/LibraryPaths.h"
#include "core/library/PrivateFiles.h"

namespace tarn::LibraryLeftovers {
namespace {

namespace Paths = LibraryPaths;

// An identifier in the one text form the store writes.
bool isIdentifier(QStringView text)
{
    const std::string plain = text.toString().toStdString();
    const std::optional<Uuid> id = Uuid::parse(plain);
    return id && id->toString() == plain;
}

// "<identifier>.<extension>": the name of an original.
bool isOriginalName(const QString &name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot < 0 || dot + 1 == name.size() || !isIdentifier(QStringView(name).left(dot)))
        return false;
    for (const QChar c : QStringView(name).mid(dot + 1))
        if (!(c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))))
            return false;
    return true;
}

// "<identifier>.jpg", or "<identifier>-<identifier>.jpg" after a saved edit.
bool isThumbnailName(const QString &name)
{
    if (!name.endsWith(QLatin1String(".jpg")))
        return false;
    const QStringView stem = QStringView(name).chopped(4);
    const qsizetype length = 36;
    if (stem.size() == length)
        return isIdentifier(stem);
    return stem.size() == 2 * length + 1 && stem[length] == QLatin1Char('-') && isIdentifier(stem.left(length)) &&
        isIdentifier(stem.mid(length + 1));
}

bool isRegularFile(const QString &path)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// The entries of `folder` that `isLeftover` names and that are regular files.
template <typename Test> void collect(const QString &folder, Test isLeftover, QStringList &into)
{
    QStringList names;
    try {
        names = Files::listFolder(folder);
    } catch (...) {
        return;
    }
    for (const QString &name : names) {
        const QString path = Paths::child(folder, name);
        if (isLeftover(name) && isRegularFile(path))
            into << path;
    }
}

} // namespace

QStringList find(const QString &root, const std::vector<CaptureItem> &items)
{
    QSet<QString> thumbnails;
    for (const CaptureItem &item : items)
        thumbnails.insert(QString::fromStdString(item.thumbnailFilename));
    QStringList found;
    collect(
        root, [](const QString &name) { return Files::temporaryTarget(name) == Paths::indexName; }, found);
    collect(
        Paths::child(root, Paths::originalsName),
        [](const QString &name) { return isOriginalName(Files::temporaryTarget(name)); }, found);
    collect(
        Paths::child(root, Paths::thumbnailsName),
        [&thumbnails](const QString &name) {
            return isThumbnailName(Files::temporaryTarget(name)) ||
                (isThumbnailName(name) && !thumbnails.contains(name));
        },
        found);
    return found;
}

} // namespace tarn::LibraryLeftovers
