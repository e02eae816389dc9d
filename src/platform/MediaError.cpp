// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MediaError.h"

extern "C" {
#include <libavutil/error.h>
}

#include "core/base/FileFailure.h"

namespace tarn::MediaError {

QString reason(int status)
{
    switch (status) {
    case AVERROR_INVALIDDATA:
        return QStringLiteral("영상 파일이 아니거나 손상된 파일입니다");
    case AVERROR_EOF:
        return QStringLiteral("파일이 중간에 끊겨 있습니다");
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_DECODER_NOT_FOUND:
    case AVERROR_PATCHWELCOME:
        return QStringLiteral("지원하지 않는 영상 형식입니다");
    default:
        break;
    }
    // System error numbers come negated; FFmpeg's own codes are four-letter tags, far larger.
    if (status < 0 && -status < 4096)
        return FileFailure::reason(AVUNERROR(status));
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(status, text, sizeof text);
    return QStringLiteral("알 수 없는 오류입니다(%1)").arg(QString::fromUtf8(text));
}

} // namespace tarn::MediaError
