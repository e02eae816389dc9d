// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/FileFailure.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace tarn {

FileFailure FileFailure::fromErrno(QString action, QString path)
{
    return FileFailure(errno, std::move(action), std::move(path));
}

FileFailure FileFailure::notRegular(unsigned mode, QString action, QString path)
{
    const mode_t kind = static_cast<mode_t>(mode);
    FileFailure failure(S_ISDIR(kind) ? EISDIR : ENXIO, std::move(action), std::move(path));
    failure.refused_ = true;
    if (S_ISDIR(kind))
        failure.cause_ = reason(EISDIR);
    else if (S_ISFIFO(kind))
        failure.cause_ = QStringLiteral("일반 파일이 아니라 이름 있는 파이프입니다");
    else if (S_ISSOCK(kind))
        failure.cause_ = QStringLiteral("일반 파일이 아니라 소켓입니다");
    else if (S_ISCHR(kind) || S_ISBLK(kind))
        failure.cause_ = QStringLiteral("일반 파일이 아니라 장치 파일입니다");
    else
        failure.cause_ = QStringLiteral("일반 파일이 아닙니다");
    return failure;
}

FileFailure FileFailure::notFolder(QString action, QString path)
{
    FileFailure failure(ENOTDIR, std::move(action), std::move(path));
    failure.cause_ = QStringLiteral("폴더가 아닌 파일이 이미 있습니다");
    return failure;
}

QString FileFailure::reason(int code)
{
    switch (code) {
    case EACCES:
    case EPERM:
        return QStringLiteral("권한이 없습니다");
    case ENOENT:
        return QStringLiteral("파일이나 폴더가 없습니다");
    case EEXIST:
        return QStringLiteral("같은 이름의 항목이 이미 있습니다");
    case ENOTDIR:
        return QStringLiteral("경로 중간에 폴더가 아닌 항목이 있습니다");
    case EISDIR:
        return QStringLiteral("파일이 아니라 폴더입니다");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("저장 공간이 부족합니다");
    case EFBIG:
        return QStringLiteral("파일 크기 제한을 넘습니다");
    case EROFS:
        return QStringLiteral("읽기 전용 디스크입니다");
    case EIO:
        return QStringLiteral("디스크 입출력 오류가 발생했습니다");
    case ENAMETOOLONG:
        return QStringLiteral("경로가 너무 깁니다");
    case ELOOP:
        return QStringLiteral("심볼릭 링크가 너무 많이 이어집니다");
    default:
        return QStringLiteral("시스템 오류 %1(%2)").arg(code).arg(QString::fromLocal8Bit(std::strerror(code)));
    }
}

QString FileFailure::cause() const { return cause_.isEmpty() ? reason(code_) : cause_; }

QString FileFailure::description() const
{
    // A refusal was a choice, not an inability.
    const QString sentence =
        refused_ ? QStringLiteral("%1 않았습니다: %2 (%3)") : QStringLiteral("%1 못했습니다: %2 (%3)");
    return sentence.arg(action_, path_, cause());
}

} // namespace tarn
