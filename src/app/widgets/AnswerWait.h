// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <coroutine>
#include <optional>
#include <utility>

#include <QObject>

namespace tarn {

// A task's wait for an answer, kept in Qt's object tree under what gives the answer. The answer
// wakes the task; a wait deleted before it (with its parent, when the application quits) wakes the
// task with none, as a cancel: a wait for the answer alone would keep the task and all it holds for
// ever.
template <typename T> class AnswerWait : public QObject {
public:
    explicit AnswerWait(QObject *parent) : QObject(parent) { }
    ~AnswerWait() override { give(std::nullopt); }

    // What the task awaits: the answer, or none when the wait went first.
    struct Awaiter {
        AnswerWait *wait;
        std::optional<T> result;
        std::coroutine_handle<> waiting;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) noexcept
        {
            waiting = handle;
            wait->awaiter_ = this;
        }
        std::optional<T> await_resume() noexcept { return std::move(result); }
    };
    Awaiter answer() { return {this, std::nullopt, {}}; }

protected:
    // Wakes the waiting task, once.
    void give(std::optional<T> answer)
    {
        if (Awaiter *awaiter = std::exchange(awaiter_, nullptr)) {
            awaiter->result = std::move(answer);
            awaiter->waiting.resume();
        }
    }

private:
    Awaiter *awaiter_ = nullptr;
};

} // namespace tarn
