// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>

namespace tarn {

class EditorController;

// Whether the application may quit now, from what is running. The first rule that applies
// decides: a recording (any recorder state but idle), a busy model or an export still writing
// its file refuses with the busy alert; then an editor that saves or exports refuses in that
// editor; then an editor with unsaved edits is asked to close; otherwise quitting goes ahead.
// Every editor is checked for saving or exporting before any is checked for unsaved edits;
// within a rule the first editor in the given order is the one acted on.
struct QuitDecision {
    enum class Verdict { busyAlert, editorWorking, editorUnsaved, quit };

    struct State {
        bool recording = false;
        bool busy = false;
        int exportsInFlight = 0;
        std::vector<EditorController *> editors; // in the model's order
    };

    Verdict verdict = Verdict::quit;
    EditorController *editor = nullptr; // the editor acted on, for the two editor verdicts

    static QuitDecision decide(const State &state);

    // The texts of the busy alert, read from the state at the moment it opens.
    struct Alert {
        QString message;
        QString information;
        QString confirm;       // first button
        QString keepRecording; // second button, only while recording
    };
    static Alert busyAlert(bool recording, int exportsInFlight);
    // The editor's status line when it refuses to quit while it saves or exports.
    static QString editorWorkingMessage(); // "저장 또는 이미지 처리가 완료된 후 종료해 주세요."

    bool operator==(const QuitDecision &) const = default;
};

} // namespace tarn
