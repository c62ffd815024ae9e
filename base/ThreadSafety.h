#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Clang's thread-safety analysis, for the state that threads share: each
// such member names the mutex that guards it, and clang proves at compile
// time that no code touches it without holding that mutex. Other compilers
// read the annotations as nothing.
#if defined(__clang__)
#define THREAD_ANNOTATION(x) __attribute__((x))
#else
#define THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(name) THREAD_ANNOTATION(capability(name))
#define SCOPED_CAPABILITY THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(mutex) THREAD_ANNOTATION(guarded_by(mutex))
#define REQUIRES(...) THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) THREAD_ANNOTATION(release_capability(__VA_ARGS__))

// Mutex is std::mutex as the analysis sees it.
class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { mutex.lock(); }
    void unlock() RELEASE() { mutex.unlock(); }
    std::mutex& native() { return mutex; }

private:
    std::mutex mutex;
};

// MutexLock holds a Mutex for its scope; a condition variable may wait on it.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : lock(mutex.native()) {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock() RELEASE() = default;

    // Waits on `condition` once, the mutex let go meanwhile; callers wait in
    // a loop until what they wait for holds, so that the analysis sees the
    // test made with the mutex held.
    void wait(std::condition_variable& condition) { condition.wait(lock); }
    // The same, waiting at most until `deadline`.
    void waitUntil(std::condition_variable& condition,
                   std::chrono::steady_clock::time_point deadline) {
        condition.wait_until(lock, deadline);
    }

private:
    std::unique_lock<std::mutex> lock;
};
