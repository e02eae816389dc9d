// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/ExportFiles.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/flows/ItemNames.h"
#include "core/base/FileFailure.h"

namespace tarn::ExportFiles {
namespace {

QString temporaryBeside(const QString &destination)
{
    return QFileInfo(destination).absoluteDir().filePath(ItemNames::temporaryExportName());
}

// Removes the temporary file however the export ends; a failed removal is not the user's concern.
class TemporaryFile {
public:
    explicit TemporaryFile(QString path) : path_(std::move(path)) { }
    ~TemporaryFile() { ::unlink(QFile::encodeName(path_).constData()); }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    const QString &path() const { return path_; }

private:
    QString path_;
};

void fail(const QString &action, const QString &path, int code = errno) { throw FileFailure(code, action, path); }

void writeAll(int fd, const QByteArray &bytes, const QString &path)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            fail(QStringLiteral("파일을 쓰지"), path);
        data += written;
        left -= written;
    }
}

void renameOver(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        fail(QStringLiteral("파일을 옮기지"), to);
}

bool samePath(const QString &a, const QString &b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

void writeAtomically(const QString &destination, const QByteArray &bytes)
{
    const TemporaryFile temporary(temporaryBeside(destination));
    const QByteArray name = QFile::encodeName(temporary.path());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(QStringLiteral("파일을 만들지"), destination);
    try {
        writeAll(fd, bytes, destination);
        if (::fsync(fd) != 0)
            fail(QStringLiteral("파일을 쓰지"), destination);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        fail(QStringLiteral("파일을 쓰지"), destination);
    renameOver(temporary.path(), destination);
}

void copyFile(const QString &source, const QString &destination)
{
    if (samePath(source, destination))
        return;
    const TemporaryFile temporary(temporaryBeside(destination));
    std::error_code error;
    std::filesystem::copy_file(QFile::encodeName(source).toStdString(),
                               QFile::encodeName(temporary.path()).toStdString(), error);
    if (error)
        fail(QStringLiteral("파일을 복사하지"), destination, error.value());
    renameOver(temporary.path(), destination);
}

} // namespace tarn::ExportFiles
