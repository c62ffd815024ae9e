#include "testing/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> madeCount{0};
std::atomic<std::size_t> liveCount{0};
// Allocations left before the injected failure; 0 when disarmed.
std::atomic<std::size_t> countdown{0};
std::atomic<bool> injectedFailure{false};

bool shouldFail() {
    std::size_t left = countdown.load(std::memory_order_relaxed);
    while (left != 0) {
        if (countdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
            if (left == 1) {
                injectedFailure.store(true, std::memory_order_relaxed);
                return true;
            }
            return false;
        }
    }
    return false;
}

void* allocate(std::size_t size, std::size_t alignment) {
    if (shouldFail()) {
        return nullptr;
    }
    if (size == 0) {
        size = 1;
    }
    void* memory = nullptr;
    if (alignment <= alignof(std::max_align_t)) {
        memory = std::malloc(size);
    } else {
        memory = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    }
    if (memory != nullptr) {
        madeCount.fetch_add(1, std::memory_order_relaxed);
        liveCount.fetch_add(1, std::memory_order_relaxed);
    }
    return memory;
}

void* allocateOrThrow(std::size_t size, std::size_t alignment) {
    void* memory = allocate(size, alignment);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void release(void* memory) noexcept {
    if (memory != nullptr) {
        liveCount.fetch_sub(1, std::memory_order_relaxed);
        std::free(memory);
    }
}

constexpr std::size_t plain = alignof(std::max_align_t);

}  // namespace

std::size_t AllocationCounter::made() { return madeCount.load(std::memory_order_relaxed); }

std::size_t AllocationCounter::live() { return liveCount.load(std::memory_order_relaxed); }

bool AllocationCounter::injected() { return injectedFailure.load(std::memory_order_relaxed); }

AllocationCounter::Failure::Failure(std::size_t nth) {
    injectedFailure.store(false, std::memory_order_relaxed);
    countdown.store(nth, std::memory_order_relaxed);
}

AllocationCounter::Failure::~Failure() { countdown.store(0, std::memory_order_relaxed); }

// Every replaceable form, so that no allocation escapes the count and every
// release matches its allocation.
void* operator new(std::size_t size) { return allocateOrThrow(size, plain); }
void* operator new[](std::size_t size) { return allocateOrThrow(size, plain); }
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size, plain);
}
void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size, plain);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment,
                   const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t& /*tag*/) noexcept {
    return allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* memory) noexcept { release(memory); }
void operator delete[](void* memory) noexcept { release(memory); }
void operator delete(void* memory, const std::nothrow_t& /*tag*/) noexcept { release(memory); }
void operator delete[](void* memory, const std::nothrow_t& /*tag*/) noexcept { release(memory); }
void operator delete(void* memory, std::size_t /*size*/) noexcept { release(memory); }
void operator delete[](void* memory, std::size_t /*size*/) noexcept { release(memory); }
void operator delete(void* memory, std::align_val_t /*alignment*/) noexcept { release(memory); }
void operator delete[](void* memory, std::align_val_t /*alignment*/) noexcept { release(memory); }
void operator delete(void* memory, std::align_val_t /*alignment*/,
                     const std::nothrow_t& /*tag*/) noexcept {
    release(memory);
}
void operator delete[](void* memory, std::align_val_t /*alignment*/,
                       const std::nothrow_t& /*tag*/) noexcept {
    release(memory);
}
void operator delete(void* memory, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
    release(memory);
}
void operator delete[](void* memory, std::size_t /*size*/,
                       std::align_val_t /*alignment*/) noexcept {
    release(memory);
}
