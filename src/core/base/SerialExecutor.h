// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

#include <QFuture>
#include <QPromise>

namespace tarn {

// One worker thread that runs submitted operations one at a time, in submission order.
// The stores that own mutable state (library, text recognizer) submit every operation here,
// so their state is only ever touched by this one thread.
//
// Results come back as QFutures fed by a QPromise. QtConcurrent::run on a one-thread pool is
// not serial: a caller that waits on a future whose task has not started yet runs that task
// on its own thread, out of order and beside the worker.
class SerialExecutor {
public:
    SerialExecutor();
    ~SerialExecutor(); // finishes every queued operation, then stops the worker

    SerialExecutor(const SerialExecutor &) = delete;
    SerialExecutor &operator=(const SerialExecutor &) = delete;

    template <typename Function> auto run(Function &&function) -> QFuture<std::invoke_result_t<std::decay_t<Function>>>
    {
        using Result = std::invoke_result_t<std::decay_t<Function>>;
        auto promise = std::make_shared<QPromise<Result>>();
        auto task = std::make_shared<std::decay_t<Function>>(std::forward<Function>(function));
        QFuture<Result> future = promise->future();
        promise->start();
        enqueue([promise, task] {
            try {
                if constexpr (std::is_void_v<Result>)
                    (*task)();
                else
                    promise->addResult((*task)());
            } catch (...) {
                promise->setException(std::current_exception());
            }
            promise->finish();
        });
        return future;
    }

    // Blocks until every operation submitted so far has finished.
    void waitForDone();

private:
    void enqueue(std::function<void()> job);
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace tarn
