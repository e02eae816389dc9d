// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/PrivateFiles.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/base/Descriptor.h"
#include "core/base/FileFailure.h"
#include "core/base/RegularFile.h"

namespace tarn::Files {
namespace {

QByteArray native(const QString &path) { return QFile::encodeName(path); }

// A temporary file is "." + the target's name + this mark + six random letters or digits.
const QLatin1String temporaryMark(".tmp-");
constexpr qsizetype temporaryRandomLength = 6; // what mkostemp fills in

[[noreturn]] void fail(const QString &action, const QString &path) { throw FileFailure::fromErrno(action, path); }

void writeAll(int fd, const char *data, size_t size, const QString &path)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(QStringLiteral("파일을 쓰지"), path);
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

void flushFolder(const QString &folder)
{
    // The rename is already visible; a failing folder flush only weakens durability against a
    // power loss, so it is not reported as a failure of a change that did happen.
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The shared protocol of the atomic writes: `fill` writes the content into the descriptor.
void replaceAtomically(const QString &path, const std::function<void(int, const QString &)> &fill)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    QByteArray pattern = native(folder + QLatin1String("/.") + info.fileName() + temporaryMark +
                                QString(temporaryRandomLength, QLatin1Char('X')));
    Descriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd.get() < 0)
        fail(QStringLiteral("임시 파일을 만들지"), folder);
    // Failures name the file being written: the temporary one is gone by the time they show.
    try {
        // mkostemp asks for 0600, but a process umask could still narrow it.
        if (::fchmod(fd.get(), S_IRUSR | S_IWUSR) != 0)
            fail(QStringLiteral("파일 권한을 설정하지"), path);
        fill(fd.get(), path);
        if (::fsync(fd.get()) != 0)
            fail(QStringLiteral("파일을 디스크에 기록하지"), path);
        if (fd.close() != 0)
            fail(QStringLiteral("파일을 쓰지"), path);
        if (::rename(pattern.constData(), native(path).constData()) != 0)
            fail(QStringLiteral("파일을 저장하지"), path);
    } catch (...) {
        ::unlink(pattern.constData());
        throw;
    }
    flushFolder(folder);
}

bool isFolder(const QString &path)
{
    struct stat st { };
    return ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

void createFolders(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    if (isFolder(clean))
        return;
    const QString parent = QFileInfo(clean).path();
    if (parent != clean && !parent.isEmpty())
        createFolders(parent);
    if (::mkdir(native(clean).constData(), S_IRWXU) != 0) {
        const int error = errno;
        if (error == EEXIST) {
            if (isFolder(clean))
                return; // made by someone else meanwhile
            throw FileFailure::notFolder(QStringLiteral("폴더를 만들지"), clean);
        }
        throw FileFailure(error, QStringLiteral("폴더를 만들지"), clean);
    }
    // A narrow umask may have removed owner bits; a folder we created is exactly 0700.
    if (::chmod(native(clean).constData(), S_IRWXU) != 0)
        fail(QStringLiteral("폴더 권한을 설정하지"), clean);
}

bool exists(const QString &path)
{
    struct stat st { };
    if (::stat(native(path).constData(), &st) == 0)
        return true;
    if (errno == ENOENT)
        return false;
    fail(QStringLiteral("파일을 확인하지"), path);
}

QString temporaryTarget(const QString &name)
{
    const qsizetype tail = temporaryMark.size() + temporaryRandomLength;
    if (!name.startsWith(QLatin1Char('.')) || name.size() <= 1 + tail ||
        QStringView(name).right(tail).left(temporaryMark.size()) != temporaryMark)
        return {};
    for (const QChar c : QStringView(name).right(temporaryRandomLength))
        if (c.unicode() > 0x7F || !c.isLetterOrNumber())
            return {};
    return name.mid(1, name.size() - 1 - tail);
}

void writeAtomically(const QString &path, const QByteArray &data)
{
    replaceAtomically(path, [&data](int fd, const QString &named) {
        writeAll(fd, data.constData(), static_cast<size_t>(data.size()), named);
    });
}

namespace {

// One read that an interrupting signal does not cut short; 0 only at the end of the file.
size_t readOnce(int fd, char *buffer, size_t size, const QString &path)
{
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0)
            return static_cast<size_t>(got);
        if (errno != EINTR)
            fail(QStringLiteral("파일을 읽지"), path);
    }
}

// Fills `buffer` as far as the file goes; fewer bytes than asked only at its end.
size_t readChunk(int fd, char *buffer, size_t size, const QString &path)
{
    size_t filled = 0;
    while (filled < size) {
        const size_t got = readOnce(fd, buffer + filled, size - filled, path);
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

} // namespace

void copyAtomically(const QString &source, const QString &target)
{
    const Descriptor in(RegularFile::openForReading(source));
    replaceAtomically(target, [&](int out, const QString &named) {
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        while (const size_t got = readOnce(in.get(), buffer.data(), static_cast<size_t>(buffer.size()), source))
            writeAll(out, buffer.constData(), got, named);
    });
}

QByteArray readHead(const QString &path, int64_t limit)
{
    const Descriptor fd(RegularFile::openForReading(path));
    struct stat st { };
    if (::fstat(fd.get(), &st) != 0)
        fail(QStringLiteral("파일을 읽지"), path);
    QByteArray data;
    if (st.st_size > 0)
        data.reserve(static_cast<qsizetype>(std::min<int64_t>(st.st_size, limit)));
    char buffer[1 << 16];
    while (data.size() < limit) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(sizeof buffer, limit - data.size()));
        const size_t got = readOnce(fd.get(), buffer, want, path);
        if (got == 0)
            break;
        data.append(buffer, static_cast<qsizetype>(got));
    }
    return data;
}

QByteArray readAll(const QString &path) { return readHead(path, INT64_MAX / 2); }

int64_t fileSize(const QString &path)
{
    struct stat st { };
    if (::stat(native(path).constData(), &st) != 0)
        fail(QStringLiteral("파일 정보를 읽지"), path);
    return static_cast<int64_t>(st.st_size);
}

bool sameContent(const QString &first, const QString &second)
{
    if (fileSize(first) != fileSize(second))
        return false;
    const Descriptor a(RegularFile::openForReading(first));
    const Descriptor b(RegularFile::openForReading(second));
    std::vector<char> left(1 << 16), right(1 << 16);
    for (;;) {
        const size_t got = readChunk(a.get(), left.data(), left.size(), first);
        if (readChunk(b.get(), right.data(), right.size(), second) != got ||
            std::memcmp(left.data(), right.data(), got) != 0)
            return false;
        if (got == 0)
            return true;
    }
}

void removeFile(const QString &path)
{
    if (::unlink(native(path).constData()) != 0)
        fail(QStringLiteral("파일을 지우지"), path);
}

void removeQuietly(const QString &path) { ::unlink(native(path).constData()); }

QStringList listFolder(const QString &path)
{
    DIR *dir = ::opendir(native(path).constData());
    if (!dir)
        fail(QStringLiteral("폴더 내용을 읽지"), path);
    QStringList names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(QFile::decodeName(name));
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw FileFailure(error, QStringLiteral("폴더 내용을 읽지"), path);
    return names;
}

} // namespace tarn::Files
