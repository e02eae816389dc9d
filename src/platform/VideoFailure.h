// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/base/Failure.h"

namespace tarn {

// A movie file that the media libraries cannot open or decode, with the reason as a Korean
// clause ("영상 파일이 아니거나 손상된 파일입니다").
class VideoFailure : public Failure {
public:
    enum class Case { unreadable, undecodable };

    VideoFailure(Case c, QString reason) : case_(c), reason_(std::move(reason)) { }

    Case kind() const { return case_; }
    const QString &reason() const { return reason_; }
    QString description() const override;

private:
    Case case_;
    QString reason_;
};

} // namespace tarn
