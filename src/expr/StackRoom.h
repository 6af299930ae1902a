#pragma once
// Whether the current thread's stack is running short. The evaluator recurses once per
// open parenthesis, operator level and call; it stops a formula with a message when the
// stack runs short, so that the limit is what the real stack holds rather than a fixed
// count of levels.

#include <cstdint>

namespace ov {

// The lowest frame address that still leaves the reserve below it on this thread: 0 until
// StackLimit has asked for the thread's stack. (__thread, unlike thread_local, is read
// directly from another file, without a call.)
extern __thread std::uintptr_t stackLimit;
std::uintptr_t StackLimit();

// True when the frame at the address given has less than a reserve of the current
// thread's stack below it (stacks grow downwards). Inline: every formula asks.
inline bool StackRunningShort(std::uintptr_t frame) {
    const std::uintptr_t limit = stackLimit;
    return frame < (limit != 0 ? limit : StackLimit());
}

} // namespace ov
