// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/VideoFailure.h"

namespace tarn {

QString VideoFailure::description() const
{
    const QString text = case_ == Case::unreadable ? QStringLiteral("영상 파일을 열 수 없습니다.")
                                                   : QStringLiteral("영상 프레임을 디코딩할 수 없습니다.");
    return reason_.isEmpty() ? text : text + u' ' + reason_ + u'.';
}

} // namespace tarn
