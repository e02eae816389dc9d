// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/LibraryPaths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/base/LibraryFailure.h"

namespace tarn::LibraryPaths {
namespace {

bool statPath(const QString &path, struct stat &st) { return ::stat(QFile::encodeName(path).constData(), &st) == 0; }

QString resolveExisting(const QString &path)
{
    char buffer[PATH_MAX];
    if (::realpath(QFile::encodeName(path).constData(), buffer))
        return QDir::cleanPath(QFile::decodeName(buffer));
    return path; // not resolvable (no permission to look): compare it as written
}

// The path without its last component, taken literally ("a/link/.." gives "a/link"), as the
// system walks it; empty when nothing is left.
QString literalParent(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || path == QLatin1String("/"))
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

} // namespace

QString normalizedRoot(const QString &root)
{
    return QDir::cleanPath(QDir::isAbsolutePath(root) ? root : QDir::current().absoluteFilePath(root));
}

QString child(const QString &root, const QString &name) { return root + QLatin1Char('/') + name; }

QString originalPath(const QString &root, const CaptureItem &item)
{
    return child(child(root, originalsName), QString::fromStdString(item.filename));
}

QString thumbnailPath(const QString &root, const CaptureItem &item)
{
    return child(child(root, thumbnailsName), QString::fromStdString(item.thumbnailFilename));
}

void validateFilename(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        throw LibraryFailure::unsafeFilename();
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
        throw LibraryFailure::unsafeFilename();
}

QStringList resolvedPathComponents(const QString &path)
{
    QString existing = QDir::cleanPath(path);
    QStringList missing; // removed from the end, last first
    struct stat st { };
    while (existing != QLatin1String("/") && !existing.isEmpty() && !statPath(existing, st)) {
        missing.prepend(QFileInfo(existing).fileName());
        existing = QFileInfo(existing).path();
    }
    const QString resolved = resolveExisting(existing);
    QStringList components{QStringLiteral("/")};
    components += resolved.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    components += missing;
    return components;
}

void validateExportDestination(const QString &root, const QString &destination)
{
    if (destination.isEmpty() || !QDir::isAbsolutePath(destination))
        throw LibraryFailure::protectedExportLocation();

    const QStringList rootComponents = resolvedPathComponents(root);
    const QStringList destinationComponents = resolvedPathComponents(destination);
    if (destinationComponents.size() >= rootComponents.size() &&
        std::equal(rootComponents.begin(), rootComponents.end(), destinationComponents.begin()))
        throw LibraryFailure::protectedExportLocation();

    // The same folder can be reached under names the component test cannot see (another letter
    // case on a case-insensitive disk, a bind mount). Walk up the path exactly as the system
    // will resolve it when the file is written, and compare each existing folder's identity.
    // The library's own folders count as well: one of them may be mounted elsewhere too.
    std::vector<struct stat> protectedFolders;
    for (const QString &folder :
         {root, child(root, originalsName), child(root, thumbnailsName), child(root, recordingsName)}) {
        struct stat st { };
        if (statPath(folder, st))
            protectedFolders.push_back(st);
    }
    if (protectedFolders.empty())
        return; // no library folder yet: nothing to overwrite
    QString current = destination;
    for (;;) {
        struct stat st { };
        if (statPath(current, st))
            for (const struct stat &folder : protectedFolders)
                if (st.st_dev == folder.st_dev && st.st_ino == folder.st_ino)
                    throw LibraryFailure::protectedExportLocation();
        current = literalParent(current);
        if (current.isEmpty())
            break;
    }
}

} // namespace tarn::LibraryPaths
