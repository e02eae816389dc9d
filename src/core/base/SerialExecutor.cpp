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

void SerialExecutor::enqueue(bool background, Job job)
{
    {
        std::lock_guard lock(mutex_);
        (background ? background_ : queue_).push_back(std::move(job));
    }
    wake_.notify_one();
}

bool SerialExecutor::mustGiveWay() const
{
    std::lock_guard lock(mutex_);
    return dropping_ || !queue_.empty();
}

void SerialExecutor::dropBackground()
{
    std::lock_guard lock(mutex_);
    dropping_ = true;
}

void SerialExecutor::waitForDone()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && background_.empty() && !busy_; });
}

void SerialExecutor::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty() || !background_.empty(); });
        const bool background = queue_.empty();
        if (background && background_.empty()) // stopping, and nothing left to do
            return;
        std::deque<Job> &line = background ? background_ : queue_;
        Job job = std::move(line.front());
        line.pop_front();
        busy_ = true;
        const bool drop = background && dropping_;
        lock.unlock();
        if (job(drop))
            job = nullptr; // release captured state outside the lock
        lock.lock();
        if (job) // it gave way: first of the background ones again, dropped there if need be
            background_.push_front(std::move(job));
        busy_ = false;
        if (queue_.empty() && background_.empty())
            idle_.notify_all();
    }
}

} // namespace tarn
