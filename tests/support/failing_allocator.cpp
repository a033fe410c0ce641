#include "failing_allocator.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

// The linker sends the program's calls of malloc, calloc and realloc here
// (--wrap); the __real_ names reach the C library's own.
extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<long> counted{0};
std::atomic<long> chosen{0};
std::atomic<bool> hasFailed{false};
std::atomic<void (*)()> failureHook{nullptr};
std::atomic<const void*> failedCaller{nullptr};

// Counts one allocation; true for the chosen one. Threads that allocate
// at the same time each get a number of their own.
bool allocationFails(const void* caller) {
    if (!counting.load(std::memory_order_acquire))
        return false;
    long number = counted.fetch_add(1) + 1;
    if (number != chosen.load())
        return false;
    failedCaller.store(caller);
    hasFailed.store(true);
    if (void (*hook)() = failureHook.load())
        hook();
    return true;
}

void* allocate(size_t size, const void* caller) {
    return allocationFails(caller) ? nullptr : __real_malloc(size > 0 ? size : 1);
}

}  // namespace

namespace failing_allocator {

void arm(long failAt) {
    counted.store(0);
    hasFailed.store(false);
    chosen.store(failAt);
    counting.store(true, std::memory_order_release);
}

long disarm() {
    counting.store(false, std::memory_order_release);
    return counted.load();
}

bool failed() {
    return hasFailed.load();
}

void onFailure(void (*hook)()) {
    failureHook.store(hook);
}

const void* failedCaller() {
    return ::failedCaller.load();
}

}  // namespace failing_allocator

extern "C" {

void* __wrap_malloc(size_t size) {
    return allocationFails(__builtin_return_address(0)) ? nullptr : __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size) {
    return allocationFails(__builtin_return_address(0)) ? nullptr : __real_calloc(count, size);
}

// A failed realloc leaves the block as it was, as the C library's does.
void* __wrap_realloc(void* block, size_t size) {
    return allocationFails(__builtin_return_address(0)) ? nullptr : __real_realloc(block, size);
}

}  // extern "C"

// operator new and delete over the same counted functions. The throwing
// forms throw as the library's do; the program itself uses only the
// nothrow forms, so a throw from its code is a finding.
void* operator new(size_t size) {
    if (void* block = allocate(size, __builtin_return_address(0)))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size) {
    if (void* block = allocate(size, __builtin_return_address(0)))
        return block;
    throw std::bad_alloc();
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, __builtin_return_address(0));
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, __builtin_return_address(0));
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
