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
// Background operations (work nobody waits for) form a second line: one starts only when no
// ordinary operation waits, so what the user asks for never queues behind them. One under way
// may give way to an ordinary operation that comes meanwhile: it throws GiveWay, the waiting
// operations run, and it starts again, still first of the background ones.
//
// Results come back as QFutures fed by a QPromise. QtConcurrent::run on a one-thread pool is
// not serial: a caller that waits on a future whose task has not started yet runs that task
// on its own thread, out of order and beside the worker.
class SerialExecutor {
public:
    // Thrown by a background operation that gives way (see mustGiveWay).
    struct GiveWay { };
    // What the future of a background operation dropped by dropBackground holds.
    struct Dropped : std::exception {
        const char *what() const noexcept override { return "background operation dropped"; }
    };

    SerialExecutor();
    ~SerialExecutor(); // finishes every queued operation, then stops the worker

    SerialExecutor(const SerialExecutor &) = delete;
    SerialExecutor &operator=(const SerialExecutor &) = delete;

    template <typename Function> auto run(Function &&function)
    {
        return submit(false, std::forward<Function>(function));
    }
    template <typename Function> auto runInBackground(Function &&function)
    {
        return submit(true, std::forward<Function>(function));
    }

    // Whether the background operation under way should give way: an ordinary operation waits,
    // or the background ones are being dropped. Safe to ask from any thread.
    bool mustGiveWay() const;

    // From now on background operations do not run: those queued, those submitted later and the
    // one under way once it gives way end with Dropped.
    void dropBackground();

    // Blocks until every operation submitted so far has finished.
    void waitForDone();

private:
    using Job = std::function<bool(bool drop)>; // false: the operation gave way

    template <typename Function>
    auto submit(bool background, Function &&function) -> QFuture<std::invoke_result_t<std::decay_t<Function>>>
    {
        using Result = std::invoke_result_t<std::decay_t<Function>>;
        auto promise = std::make_shared<QPromise<Result>>();
        auto task = std::make_shared<std::decay_t<Function>>(std::forward<Function>(function));
        QFuture<Result> future = promise->future();
        promise->start();
        enqueue(background, [promise, task, background](bool drop) {
            try {
                if (drop)
                    throw Dropped();
                if constexpr (std::is_void_v<Result>)
                    (*task)();
                else
                    promise->addResult((*task)());
            } catch (const GiveWay &) {
                if (background)
                    return false;
                promise->setException(std::current_exception());
            } catch (...) {
                promise->setException(std::current_exception());
            }
            promise->finish();
            return true;
        });
        return future;
    }

    void enqueue(bool background, Job job);
    void work();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> queue_;
    std::deque<Job> background_;
    bool busy_ = false;
    bool dropping_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace tarn
