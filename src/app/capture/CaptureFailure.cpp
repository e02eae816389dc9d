// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/CaptureFailure.h"

namespace tarn {

QString CaptureFailure::description() const
{
    switch (case_) {
    case Case::permission:
        return QStringLiteral("화면 기록 권한이 필요합니다. 시스템 설정에서 Tarnwick을 허용한 후 다시 시도하세요.");
    case Case::displayUnavailable:
        return QStringLiteral("선택한 디스플레이가 연결되어 있지 않습니다. 다시 선택하세요.");
    // Linux asks no permission for the microphone: what fails here is a missing or unusable
    // input device, and the user can only switch the microphone off or connect one.
    case Case::microphonePermission:
        return QStringLiteral(
            "마이크를 사용할 수 없습니다. 입력 장치가 없거나 열 수 없습니다. 마이크를 끄거나 입력 장치를 연결하세요.");
    }
    return {};
}

} // namespace tarn
