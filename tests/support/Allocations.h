// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The test programs that link support/Allocations.cpp replace the global operator new and
// delete with ones that can count and fail allocations on demand. Idle, they only allocate.
#include <cstddef>

namespace tarn::TestSupport {

// Counts the allocations of exactly `size` bytes that the calling thread makes while it lives.
class AllocationCounter {
public:
    explicit AllocationCounter(size_t size);
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter &) = delete;
    AllocationCounter &operator=(const AllocationCounter &) = delete;
    size_t count() const { return count_; }

private:
    size_t count_ = 0;
};

// While it lives, the next `count` allocations of a thread of that name (pthread_setname_np)
// throw std::bad_alloc, as when memory runs out for a moment.
class FailingAllocations {
public:
    explicit FailingAllocations(const char *threadName, int count = 1);
    // How many have failed so far.
    int failed() const;
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations &) = delete;
    FailingAllocations &operator=(const FailingAllocations &) = delete;
};

} // namespace tarn::TestSupport
