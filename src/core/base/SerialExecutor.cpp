// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/SerialExecutor.h"

namespace tarn {

SerialExecutor::SerialExecutor() : worker_([this] { work(); }) { }

SerialExecutor::~SerialExecutor()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void SerialExecutor::enqueue(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void SerialExecutor::waitForDone()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void SerialExecutor::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) // stopping, and nothing left to do
            return;
        std::function<void()> job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        job();
        job = nullptr; // release captured state outside the lock
        lock.lock();
        busy_ = false;
        if (queue_.empty())
            idle_.notify_all();
    }
}

} // namespace tarn
