// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Allocations.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include <pthread.h>

namespace {

thread_local size_t *countInto = nullptr;
thread_local size_t countedSize = 0;
std::atomic<bool> failing{false};
std::atomic<int> failuresLeft{0};
std::atomic<int> failures{0};
char failingThread[16] = {};

void *allocate(size_t size, size_t alignment = 0)
{
    if (countInto && size == countedSize)
        ++*countInto;
    if (failing.load(std::memory_order_acquire)) {
        char name[16] = {};
        if (pthread_getname_np(pthread_self(), name, sizeof name) == 0 && std::strcmp(name, failingThread) == 0 &&
            failuresLeft.fetch_sub(1) > 0) {
            ++failures;
            return nullptr;
        }
    }
    if (size == 0)
        size = 1;
    if (alignment > alignof(std::max_align_t))
        return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    return std::malloc(size);
}

void *allocateOrThrow(size_t size, size_t alignment = 0)
{
    if (void *p = allocate(size, alignment))
        return p;
    throw std::bad_alloc();
}

} // namespace

namespace tarn::TestSupport {

AllocationCounter::AllocationCounter(size_t size)
{
    countedSize = size;
    countInto = &count_;
}

AllocationCounter::~AllocationCounter() { countInto = nullptr; }

FailingAllocations::FailingAllocations(const char *threadName, int count)
{
    std::strncpy(failingThread, threadName, sizeof failingThread - 1);
    failures = 0;
    failuresLeft = count;
    failing.store(true, std::memory_order_release);
}

int FailingAllocations::failed() const { return failures; }

FailingAllocations::~FailingAllocations() { failing.store(false, std::memory_order_release); }

} // namespace tarn::TestSupport

void *operator new(size_t size) { return allocateOrThrow(size); }
void *operator new[](size_t size) { return allocateOrThrow(size); }
void *operator new(size_t size, std::align_val_t alignment) { return allocateOrThrow(size, size_t(alignment)); }
void *operator new[](size_t size, std::align_val_t alignment) { return allocateOrThrow(size, size_t(alignment)); }
void *operator new(size_t size, const std::nothrow_t &) noexcept { return allocate(size); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return allocate(size); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, size_t) noexcept { std::free(p); }
void operator delete[](void *p, size_t) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
