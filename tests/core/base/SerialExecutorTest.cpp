// SPDX-License-Identifier: GPL-3.0-or-later
// The one-worker executor behind the stores: strictly serial and in order, even when callers
// wait on futures whose work has not started yet.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/base/SerialExecutor.h"

using tarn::SerialExecutor;

TEST(SerialExecutor, RunsOneAtATimeInSubmissionOrderWhileCallersWait)
{
    std::atomic<int> overlaps{0};
    for (int round = 0; round < 50; ++round) {
        SerialExecutor executor;
        std::mutex mutex;
        std::vector<int> order;
        std::atomic<int> active{0};
        std::vector<QFuture<int>> futures;
        for (int i = 0; i < 40; ++i) {
            futures.push_back(executor.run([&, i] {
                if (active.fetch_add(1) != 0)
                    ++overlaps;
                {
                    std::lock_guard lock(mutex);
                    order.push_back(i);
                }
                std::this_thread::yield();
                active.fetch_sub(1);
                return i * 2;
            }));
            if (i % 5 == 0) {
                EXPECT_EQ(futures.back().result(), i * 2); // waiting must not run it here
            }
        }
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(futures[static_cast<size_t>(i)].result(), i * 2);
        std::vector<int> expected(40);
        for (int i = 0; i < 40; ++i)
            expected[static_cast<size_t>(i)] = i;
        EXPECT_EQ(order, expected);
    }
    EXPECT_EQ(overlaps.load(), 0);
}

TEST(SerialExecutor, DeliversEachOperationsOwnErrorAndDrainsOnDestruction)
{
    std::atomic<int> done{0};
    QFuture<void> failing;
    QFuture<int> after;
    {
        SerialExecutor executor;
        failing = executor.run([] { throw std::runtime_error("boom"); });
        after = executor.run([] { return 7; });
        for (int i = 0; i < 20; ++i)
            executor.run([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                ++done;
            });
    }
    EXPECT_EQ(done.load(), 20);
    EXPECT_THROW(failing.waitForFinished(), std::runtime_error);
    EXPECT_EQ(after.result(), 7);
}

// A background operation under way gives way to an ordinary one asked meanwhile and runs again
// after it, before the other background ones. (Dropping them: TextRecognitionTest.)
TEST(SerialExecutor, BackgroundOperationsGiveWayToOrdinaryOnes)
{
    SerialExecutor executor;
    std::vector<std::string> order; // written on the worker only
    std::promise<void> started;
    int attempts = 0;
    QFuture<int> first = executor.runInBackground([&] {
        if (++attempts == 1)
            started.set_value();
        while (attempts == 1 && !executor.mustGiveWay()) { }
        if (attempts == 1)
            throw SerialExecutor::GiveWay();
        return order.push_back("background 1"), attempts;
    });
    QFuture<void> second = executor.runInBackground([&] { order.push_back("background 2"); });
    started.get_future().wait();
    executor.run([&] { order.push_back("asked"); });
    second.waitForFinished();
    EXPECT_EQ(first.result(), 2);
    EXPECT_EQ(order, (std::vector<std::string>{"asked", "background 1", "background 2"}));
}
