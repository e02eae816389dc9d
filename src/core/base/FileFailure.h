// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/base/Failure.h"

namespace tarn {

// A failed file-system call: the system error number, what was being done and the path. Its
// description is a Korean sentence naming the path and the cause, so the user can act on it.
class FileFailure : public Failure {
public:
    // `action` completes "…하지 못했습니다", e.g. "폴더를 만들지", "파일을 쓰지".
    FileFailure(int code, QString action, QString path)
        : code_(code),
          action_(std::move(action)),
          path_(std::move(path))
    { }

    // Builds the failure from the current errno.
    static FileFailure fromErrno(QString action, QString path);
    // A path that was deliberately not opened because it is no regular file; `mode` is its
    // st_mode. The description says what it is: "…열지 않았습니다: <path> (일반 파일이 아니라
    // 이름 있는 파이프입니다)".
    static FileFailure notRegular(unsigned mode, QString action, QString path);
    // A folder that could not be made because something else already has its path (code
    // ENOTDIR): "…못했습니다: <path> (폴더가 아닌 파일이 이미 있습니다)".
    static FileFailure notFolder(QString action, QString path);

    int code() const { return code_; } // the system error number (errno)
    const QString &path() const { return path_; }
    QString description() const override;
    // The cause alone, as a short Korean phrase (the part in parentheses of the description).
    QString cause() const;

    // The cause of a system error number as a short Korean phrase.
    static QString reason(int code);

private:
    int code_;
    QString action_;
    QString path_;
    QString cause_;        // set only where the code alone would say something else
    bool refused_ = false; // deliberately not done, rather than failed
};

} // namespace tarn
