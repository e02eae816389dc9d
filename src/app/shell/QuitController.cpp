// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/QuitController.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QSessionManager>

#include "app/capture/RegionSelector.h"
#include "app/editor/EditorController.h"
#include "app/model/AppModel.h"

namespace tarn {

namespace {

bool isRecording(const AppModel &app) { return app.recorder().state() != RecordingService::State::idle; }

} // namespace

QuitController::QuitController(AppModel &app, QObject *parent) : QObject(parent), app_(app)
{
    connect(&app, &AppModel::isBusyChanged, this, &QuitController::resumePending);
    connect(&app, &AppModel::exportsInFlightChanged, this, &QuitController::resumePending);
    connect(&app.recorder(), &RecordingService::stateChanged, this, &QuitController::resumePending);
    connect(&app, &AppModel::recordingStartEnded, this, &QuitController::answerHeld);
    connect(&app, &AppModel::editorAdded, this, &QuitController::watch);
}

QuitController::~QuitController()
{
    if (alert_)
        delete alert_.data();
}

QuitDecision::State QuitController::currentState() const
{
    QuitDecision::State state{isRecording(app_), app_.isBusy(), app_.exportsInFlight(), {}};
    for (const auto &[id, editor] : app_.editorControllers())
        state.editors.push_back(editor);
    return state;
}

bool QuitController::requestQuit(Origin origin)
{
    const QuitDecision decision = QuitDecision::decide(currentState());
    if (decision.verdict == QuitDecision::Verdict::quit) {
        pending_ = false;
        held_.reset();
        if (alert_)
            alert_->close();
        Q_EMIT approved();
        return true;
    }
    if (origin == Origin::signal)
        pending_ = true;
    if (holdsBack(decision, origin))
        return false;
    act(decision);
    return false;
}

// While a recording starts, our windows stay off the screen, or it would record them: the
// answer waits until the start is over, when the recording runs (the alert then offers to stop
// and save it) or nothing does. A signal wants the process gone and nothing is recorded yet, so
// it takes the start back as a second Ctrl+Shift+4 does, and the decision follows its end.
bool QuitController::holdsBack(const QuitDecision &decision, Origin origin)
{
    if (decision.verdict != QuitDecision::Verdict::busyAlert || !app_.recordingStarting())
        return false;
    held_ = origin;
    if (origin == Origin::signal)
        app_.cancelRecordingStart();
    return true;
}

// The request held back during a recording start is answered as if it were made now; the
// session manager's logout was refused meanwhile, so it gets the alert only.
void QuitController::answerHeld()
{
    const std::optional<Origin> origin = std::exchange(held_, std::nullopt);
    if (!origin)
        return;
    if (*origin != Origin::session)
        requestQuit(*origin);
    else if (QuitDecision::decide(currentState()).verdict == QuitDecision::Verdict::busyAlert)
        showBusyAlert();
}

void QuitController::commitData(QSessionManager &manager)
{
    const QuitDecision decision = QuitDecision::decide(currentState());
    if (decision.verdict == QuitDecision::Verdict::quit)
        return;
    if (manager.allowsInteraction()) {
        if (!holdsBack(decision, Origin::session))
            act(decision);
        manager.release();
    }
    manager.cancel();
}

void QuitController::act(const QuitDecision &decision)
{
    acted_ = decision;
    if (decision.verdict == QuitDecision::Verdict::editorUnsaved)
        asked_ = decision.editor;
    switch (decision.verdict) {
    case QuitDecision::Verdict::busyAlert:
        showBusyAlert();
        break;
    case QuitDecision::Verdict::editorWorking:
        decision.editor->bringToFront();
        decision.editor->setMessage(QuitDecision::editorWorkingMessage());
        break;
    case QuitDecision::Verdict::editorUnsaved:
        decision.editor->bringToFront();
        decision.editor->performClose();
        break;
    case QuitDecision::Verdict::quit:
        break;
    }
}

// Application-modal but shown without a nested event loop; a second request while it is open
// only brings it forward. A region selection's overlay lies over every window and holds the
// keyboard and the pointer: the alert would come up under it, out of reach. The selection has
// produced nothing yet, so it ends first, as Escape ends it, and its capture ends quietly.
void QuitController::showBusyAlert()
{
    app_.selector().cancel();
    app_.showLibrary();
    if (alert_) {
        alert_->raise();
        alert_->activateWindow();
        return;
    }
    const bool recording = isRecording(app_);
    const QuitDecision::Alert texts = QuitDecision::busyAlert(recording, app_.exportsInFlight());
    alert_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tarnwick"), texts.message, QMessageBox::NoButton,
                             app_.mainWindow());
    alert_->setAttribute(Qt::WA_DeleteOnClose);
    alert_->setWindowModality(Qt::ApplicationModal);
    alert_->setInformativeText(texts.information);
    QPushButton *confirm = alert_->addButton(texts.confirm, QMessageBox::AcceptRole);
    alert_->setDefaultButton(confirm);
    if (!texts.keepRecording.isEmpty())
        alert_->addButton(texts.keepRecording, QMessageBox::RejectRole);
    else
        alert_->setEscapeButton(confirm);
    connect(alert_, &QMessageBox::buttonClicked, this,
            [this, confirm](QAbstractButton *button) { answerBusyAlert(button == confirm); });
    alert_->show();
    alert_->raise();
    alert_->activateWindow();
}

// Stopping is decided by the recorder's state after the alert, not when it opened: a recording
// that ended meanwhile is left alone.
void QuitController::answerBusyAlert(bool confirmed)
{
    if (confirmed && isRecording(app_))
        app_.recorder().stop();
}

// An editor that ends its save or export, or closes, may be what a signal's request waits for;
// a failed save leaves its edits unsaved, so its question comes again. An editor closes after
// the model has let it go, so the decision no longer counts it.
void QuitController::watch(EditorController *editor)
{
    connect(editor, &EditorController::workEnded, this, &QuitController::resumeAfterEditor);
    connect(editor, &EditorController::closed, this, &QuitController::resumeAfterEditor);
    connect(editor, &EditorController::closeCancelled, this, &QuitController::takeBack);
}

// Asks again for a signal's request; the busy alert stays up, unchanged, while it applies. An
// answer that would be the same as the last one is not given again: work elsewhere that starts
// or ends must not pull the editor in question forward over what the user is doing.
void QuitController::resumePending()
{
    if (!pending_)
        return;
    const QuitDecision decision = QuitDecision::decide(currentState());
    if (decision.verdict == QuitDecision::Verdict::busyAlert || (acted_ && decision == *acted_))
        return;
    if (alert_)
        alert_->close();
    requestQuit(Origin::signal);
}

// The editor's own change is news even when the answer stays the same: a save that failed leaves
// the edits unsaved, and the question comes again once its error has been read.
void QuitController::resumeAfterEditor()
{
    acted_.reset();
    resumePending();
}

// The user keeps the editor the quit asked about open with its edits: the application cannot
// quit without them. 취소 in a question the user raised by closing another editor changes nothing.
void QuitController::takeBack()
{
    if (sender() == asked_.data())
        pending_ = false;
}

} // namespace tarn
