// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <exception>
#include <memory>

#include <QObject>

#include <qcoro/qcorotask.h>

namespace tarn {

// Thrown at a wait of a cancelled task; it ends the task and is never shown as an error.
class CancellationError : public std::exception {
public:
    const char *what() const noexcept override { return "cancelled"; }
};

// The flag behind a cancellation token; it tells the waits of the task to end early.
class CancellationState : public QObject {
    Q_OBJECT
public:
    bool cancelled = false;
Q_SIGNALS:
    void cancelRequested();
};

// A task's cancel switch, shared between the task and whoever may cancel it (the countdown's
// cancel button). The task sees it only where it looks: at its waits and at explicit checks.
class CancellationToken {
public:
    CancellationToken() : state_(std::make_shared<CancellationState>()) { }

    void cancel() const;
    bool isCancelled() const { return state_->cancelled; }
    // Throws CancellationError once cancelled.
    void check() const;
    CancellationState *state() const { return state_.get(); }

    friend bool operator==(const CancellationToken &a, const CancellationToken &b) { return a.state_ == b.state_; }

private:
    std::shared_ptr<CancellationState> state_;
};

// Waits `duration` on the GUI thread's timers; throws CancellationError when the token is
// cancelled before or during the wait, as soon as it is cancelled.
QCoro::Task<> sleep(std::chrono::milliseconds duration, CancellationToken token);
// The same wait, but a cancellation only ends it early: the task goes on.
QCoro::Task<> sleepThroughCancel(std::chrono::milliseconds duration, CancellationToken token);

} // namespace tarn
