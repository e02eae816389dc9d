// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/LibraryLease.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>

#include "core/base/AppError.h"
#include "core/base/FileFailure.h"
#include "core/library/LibraryPaths.h"
#include "core/library/PrivateFiles.h"

namespace tarn {

QString LibraryLease::heldElsewhereMessage()
{
    return QStringLiteral("다른 Tarnwick 인스턴스가 이 라이브러리를 사용 중입니다. 기존 앱을 사용하거나 다른 "
                          "라이브러리 경로를 선택하세요.");
}

LibraryLease::LibraryLease(const QString &root) : root_(LibraryPaths::normalizedRoot(root))
{
    const QString &folder = root_;
    Files::createFolders(folder);
    const QString path = LibraryPaths::child(folder, LibraryPaths::lockName);
    // Close-on-exec: a helper program started by the application must not inherit the lock and
    // keep the library locked after the application has quit.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw FileFailure::fromErrno(QStringLiteral("잠금 파일을 열지"), path);
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        // Only "would block" means another holder; any other failure is reported as itself.
        if (error == EWOULDBLOCK)
            throw AppError(heldElsewhereCode, heldElsewhereMessage());
        throw FileFailure(error, QStringLiteral("라이브러리를 잠그지"), path);
    }
    descriptor_ = fd;
}

LibraryLease::~LibraryLease()
{
    if (descriptor_ >= 0) {
        ::flock(descriptor_, LOCK_UN);
        ::close(descriptor_);
    }
}

} // namespace tarn
