// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/ExportFiles.h"

#include <cerrno>
#include <functional>

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/flows/ItemNames.h"
#include "core/base/Descriptor.h"
#include "core/base/FileFailure.h"
#include "core/base/RegularFile.h"

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

// An export is the user's file: created with the usual mode (0666 narrowed by the umask), as
// any program's new file is.
int createFor(const TemporaryFile &temporary, const QString &destination)
{
    const int fd =
        ::open(QFile::encodeName(temporary.path()).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(QStringLiteral("파일을 만들지"), destination);
    return fd;
}

void copyAll(int in, int out, const QString &destination)
{
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(in, chunk.data(), size_t(chunk.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(QStringLiteral("파일을 복사하지"), destination);
        if (got == 0)
            return;
        writeAll(out, QByteArray::fromRawData(chunk.constData(), got), destination);
    }
}

// Fills the temporary file, flushes and closes it, then puts it in the destination's place.
void fillThenRename(int fd, const TemporaryFile &temporary, const QString &destination,
                    const std::function<void()> &fill)
{
    try {
        fill();
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

} // namespace

void writeAtomically(const QString &destination, const QByteArray &bytes)
{
    const TemporaryFile temporary(temporaryBeside(destination));
    const int fd = createFor(temporary, destination);
    fillThenRename(fd, temporary, destination, [&] { writeAll(fd, bytes, destination); });
}

// The copy is written into a file we create, not made by the file system's copy, which would
// carry the library's private mode over to the user's file.
void copyFile(const QString &source, const QString &destination)
{
    if (samePath(source, destination))
        return;
    // A pipe or device in place of the original is refused, never waited on.
    const Descriptor in(RegularFile::openForReading(source));
    const TemporaryFile temporary(temporaryBeside(destination));
    const int fd = createFor(temporary, destination);
    fillThenRename(fd, temporary, destination, [&] { copyAll(in.get(), fd, destination); });
}

} // namespace tarn::ExportFiles
