#pragma once

#include <cstddef>

// AllocationCounter counts the program's heap allocations and can make one of
// them fail, for tests that prove what an operation allocates and what it
// leaves behind when memory runs out. Linking its source into a program
// replaces every form of the global operator new and delete.
class AllocationCounter {
public:
    // Returns how many allocations were made since the program started.
    static std::size_t made();
    // Returns how many allocations are not yet released.
    static std::size_t live();
    // Returns true once an armed failure has been injected.
    static bool injected();

    // Failure makes the n-th allocation of its lifetime fail (1 for the
    // first), as if memory had run out, and disarms when it goes out of scope.
    class Failure {
    public:
        explicit Failure(std::size_t nth);
        Failure(const Failure&) = delete;
        Failure& operator=(const Failure&) = delete;
        ~Failure();
    };
};
