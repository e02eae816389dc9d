// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/ImageFailure.h"

namespace tarn {

QString ImageFailure::description() const
{
    switch (case_) {
    case Case::unreadable:
        if (!cause_.isEmpty())
            return QStringLiteral("이미지를 읽을 수 없습니다: %1 (%2)").arg(path_, cause_);
        return QStringLiteral("이미지를 읽을 수 없습니다. PNG, JPEG, HEIC 또는 TIFF 파일을 선택하세요.");
    case Case::tooLarge:
        return QStringLiteral("이미지가 안전한 처리 한도(64메가픽셀 또는 한 변 16,384px)를 초과합니다.");
    case Case::encoding:
        return QStringLiteral("이미지 파일을 생성하지 못했습니다. 저장 공간과 파일 권한을 확인하세요.");
    case Case::invalidDimensions:
        return QStringLiteral("이미지 크기가 올바르지 않습니다.");
    }
    return {};
}

} // namespace tarn
