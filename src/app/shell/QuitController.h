// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include "app/shell/QuitDecision.h"

class QSessionManager;

namespace tarn {

class AppModel;
class EditorController;

// The one way out of the application: the menu, the status menu, the session manager and the
// termination signals all ask here. Refusals follow QuitDecision; its alert opens without a
// nested event loop, so captures, recordings and the store keep running behind it. Quitting is
// not retried after the user has dealt with a refusal, except for a termination signal: the
// system wants the process gone, so its request is kept through every refusal and asked again
// whenever running work ends or an editor closes, until it goes ahead; only 취소 in an
// editor's question about unsaved edits takes it back.
// While a recording starts nothing of ours may come on the screen: a request then is answered
// when the start is over; a signal takes the start back first.
class QuitController : public QObject {
    Q_OBJECT

public:
    enum class Origin { user, signal, session };

    explicit QuitController(AppModel &app, QObject *parent = nullptr);
    ~QuitController() override;

    // Decides and acts; true when quitting goes ahead (`approved` has then been emitted).
    bool requestQuit(Origin origin = Origin::user);
    // The session manager asks before it ends the session: a refusal cancels the logout.
    void commitData(QSessionManager &manager);

    QuitDecision::State currentState() const;
    QMessageBox *alert() const { return alert_; }
    bool quitPending() const { return pending_; }

Q_SIGNALS:
    // Nothing holds the application back: the owner ends the event loop.
    void approved();

private:
    bool holdsBack(const QuitDecision &decision, Origin origin);
    void answerHeld();
    void act(const QuitDecision &decision);
    void showBusyAlert();
    void answerBusyAlert(bool confirmed);
    void watch(EditorController *editor);
    void resumePending();
    void resumeAfterEditor();
    void takeBack();

    AppModel &app_;
    QPointer<QMessageBox> alert_;
    bool pending_ = false;
    std::optional<Origin> held_;        // a request waiting for a recording start to end
    std::optional<QuitDecision> acted_; // the last refusal acted on
    QPointer<EditorController> asked_;  // the editor last asked to close for a quit
};

} // namespace tarn
