#pragma once

#include <utility>

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace tarn {

// One worker thread that runs submitted operations one at a time, in submission order.
// The stores that own mutable state (library, text recognizer) submit every operation here,
// so their state is only ever touched by this one thread.
class SerialExecutor {
public:
    SerialExecutor()
    {
        pool_.setMaxThreadCount(1);
        pool_.setExpiryTimeout(-1); // keep the one thread for the whole run
    }
    ~SerialExecutor() { pool_.waitForDone(); }

    SerialExecutor(const SerialExecutor &) = delete;
    SerialExecutor &operator=(const SerialExecutor &) = delete;

    template <typename Function>
    auto run(Function &&function)
    {
        return QtConcurrent::run(&pool_, std::forward<Function>(function));
    }

    void waitForDone() { pool_.waitForDone(); }

private:
    QThreadPool pool_;
};

} // namespace tarn
