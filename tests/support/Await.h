// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a coroutine to its end from a test: a nested event loop turns until the task finishes;
// its exception, if any, is rethrown here (QCoro::waitFor would hang on one instead).

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include <QEventLoop>
#include <QTimer>
#include <qcoro/qcorotask.h>

namespace tarn::TestSupport {

template <typename T> struct AwaitState {
    QEventLoop loop;
    std::conditional_t<std::is_void_v<T>, bool, std::optional<T>> result{};
    std::exception_ptr error;
    bool done = false;
};

template <typename T> QCoro::Task<> runInto(QCoro::Task<T> task, std::shared_ptr<AwaitState<T>> state)
{
    try {
        if constexpr (std::is_void_v<T>)
            co_await std::move(task);
        else
            state->result.emplace(co_await std::move(task));
    } catch (...) {
        state->error = std::current_exception();
    }
    state->done = true;
    state->loop.quit();
}

template <typename T> T await(QCoro::Task<T> task, std::chrono::milliseconds timeout = std::chrono::seconds(20))
{
    auto state = std::make_shared<AwaitState<T>>();
    runInto(std::move(task), state);
    if (!state->done) {
        QTimer::singleShot(timeout, &state->loop, &QEventLoop::quit);
        state->loop.exec();
    }
    if (state->error)
        std::rethrow_exception(state->error);
    if (!state->done)
        throw std::runtime_error("the coroutine did not finish in time");
    if constexpr (!std::is_void_v<T>)
        return std::move(*state->result);
}

} // namespace tarn::TestSupport
