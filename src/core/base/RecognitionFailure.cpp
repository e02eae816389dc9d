// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/RecognitionFailure.h"

namespace tarn {

QString RecognitionFailure::description() const
{
    switch (case_) {
    case Case::noLanguageData:
        return QStringLiteral("텍스트 인식에 필요한 한국어·영어 언어 데이터가 설치되어 있지 않습니다. "
                              "tesseract-ocr-kor 또는 tesseract-ocr-eng 패키지를 설치하세요.");
    case Case::engineUnavailable:
        return QStringLiteral("텍스트 인식 엔진을 시작하지 못했습니다. 언어 데이터 파일이 손상되었을 수 있습니다.");
    case Case::recognitionFailed:
        return QStringLiteral("이미지에서 텍스트를 인식하지 못했습니다.");
    case Case::tookTooLong:
        return QStringLiteral(
            "텍스트 인식이 제한 시간을 넘어 중단되었습니다. 편집기에서 텍스트 인식을 다시 실행할 수 있습니다.");
    }
    return {};
}

} // namespace tarn
