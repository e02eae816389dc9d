// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/LibraryFailure.h"

namespace tarn {

QString LibraryFailure::description() const
{
    switch (case_) {
    case Case::corruptedIndex:
        return QStringLiteral("라이브러리 인덱스를 읽지 못했습니다. 기존 파일은 보존했습니다. ") + detail_;
    case Case::unsupportedVersion:
        return QStringLiteral("더 새로운 라이브러리 형식(v") + QString::number(version_) +
            QStringLiteral(")입니다. 최신 앱으로 열어 주세요.");
    case Case::unsafeFilename:
        return QStringLiteral("라이브러리에 안전하지 않은 파일 경로가 있습니다. 파일을 수정하지 않았습니다.");
    case Case::missingItem:
        return QStringLiteral("이 캡처를 라이브러리에서 찾을 수 없습니다.");
    case Case::protectedExportLocation:
        return QStringLiteral("원본과 라이브러리를 보호하려면 Tarnwick 라이브러리 외부 폴더로 내보내세요.");
    }
    return {};
}

} // namespace tarn
