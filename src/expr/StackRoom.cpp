#include "expr/StackRoom.h"

#include <pthread.h>

#include <algorithm>

namespace ov {

namespace {

// The stack kept free below the deepest evaluation level: enough for the work below a
// level that does not recurse, including the event processing of the abort check, which
// may paint views and show a question. For comparison, an open level costs under 1 KB in
// an optimised build and about 3 KB in a debugging build with sanitizers, so a hundred
// nested user calls with a dozen parentheses each take a few megabytes of the usual 8 MB.
constexpr std::uintptr_t kReserveBytes = std::uintptr_t{1} << 20;

// Assumed when the thread's stack cannot be asked for: the smallest default among the
// systems this runs on, counted from where the thread first asked.
constexpr std::uintptr_t kFallbackStackBytes = std::uintptr_t{4} << 20;

struct StackBounds {
    std::uintptr_t lowest; // the stack's lowest usable address
    std::uintptr_t size;
};

// For the main thread the C library derives the bounds from RLIMIT_STACK and the mappings
// below the stack, so a larger limit set by the user allows deeper formulas.
StackBounds CurrentStack() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        void* address = nullptr;
        std::size_t size = 0;
        const bool known = pthread_attr_getstack(&attr, &address, &size) == 0 && address && size > 0;
        pthread_attr_destroy(&attr);
        if (known) return {reinterpret_cast<std::uintptr_t>(address), size};
    }
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    return {here > kFallbackStackBytes ? here - kFallbackStackBytes : 0, kFallbackStackBytes};
}

} // namespace

__thread std::uintptr_t stackLimit = 0;

std::uintptr_t StackLimit() {
    // Asking costs a read of the process's memory map; a thread's stack never moves. A
    // thread with a small stack keeps an eighth of it instead of the full reserve.
    if (stackLimit == 0) {
        const StackBounds stack = CurrentStack();
        stackLimit = stack.lowest + std::min(kReserveBytes, stack.size / 8);
    }
    return stackLimit;
}

} // namespace ov
