// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/QuitDecision.h"

#include "app/editor/EditorController.h"

namespace tarn {

QuitDecision QuitDecision::decide(const State &state)
{
    if (state.recording || state.busy || state.exportsInFlight > 0)
        return {Verdict::busyAlert, nullptr};
    for (EditorController *editor : state.editors) {
        if (editor->isSaving() || editor->isExporting())
            return {Verdict::editorWorking, editor};
    }
    for (EditorController *editor : state.editors) {
        if (editor->hasUnsavedEdits())
            return {Verdict::editorUnsaved, editor};
    }
    return {Verdict::quit, nullptr};
}

QuitDecision::Alert QuitDecision::busyAlert(bool recording, int exportsInFlight)
{
    QString information = QStringLiteral("데이터를 보존하기 위해 작업 완료 후 종료할 수 있습니다.");
    // An export writes its file outside the library; quitting in the middle would leave half
    // of it behind, so the alert says what it waits for.
    if (exportsInFlight > 0)
        information = QStringLiteral("파일을 내보내는 중입니다. ") + information;
    if (recording)
        return {QStringLiteral("진행 중인 녹화를 먼저 저장해 주세요."), information,
                QStringLiteral("녹화 종료 및 저장"), QStringLiteral("계속 녹화")};
    return {QStringLiteral("진행 중인 작업이 있습니다."), information, QStringLiteral("확인"), {}};
}

QString QuitDecision::editorWorkingMessage()
{
    return QStringLiteral("저장 또는 이미지 처리가 완료된 후 종료해 주세요.");
}

} // namespace tarn
