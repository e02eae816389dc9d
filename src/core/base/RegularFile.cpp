// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "core/base/FileFailure.h"

namespace tarn::RegularFile {
namespace {

const QString openAction = QStringLiteral("파일을 열지");

void refuseUnlessRegular(const struct stat &st, const QString &path)
{
    if (!S_ISREG(st.st_mode))
        throw FileFailure::notRegular(static_cast<unsigned>(st.st_mode), openAction, path);
}

} // namespace

void refuseOtherKinds(const QString &path)
{
    struct stat st { };
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        refuseUnlessRegular(st, path);
}

int openForReading(const QString &path)
{
    refuseOtherKinds(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw FileFailure::fromErrno(openAction, path);
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        const FileFailure failure = FileFailure::fromErrno(openAction, path);
        ::close(fd);
        throw failure;
    }
    try {
        refuseUnlessRegular(st, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    // Reads of a regular file block as usual; only the open had to be free of waiting.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

QString descriptorPath(int descriptor) { return QStringLiteral("/proc/self/fd/%1").arg(descriptor); }

} // namespace tarn::RegularFile
