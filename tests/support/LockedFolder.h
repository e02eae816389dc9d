// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A folder nobody may add to or remove from, for the tests of write failures. Permissions do
// not stop root, so for root the folder is made immutable as well.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>

namespace tarn::TestSupport {

// Locks (read-only, and immutable for root) or unlocks the folder; true when the folder is then
// as asked.
inline bool lockFolder(const QString &path, bool locked)
{
    const QByteArray native = QFile::encodeName(path);
    ::chmod(native.constData(), locked ? 0500 : 0700);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (::geteuid() == 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
    return (::access(native.constData(), W_OK) != 0) == locked;
}

} // namespace tarn::TestSupport
