#pragma once
// Whether the current thread's stack is running short. The evaluator recurses once per
// open parenthesis, operator level and call; it stops a formula with a message when the
// stack runs short, so that the limit is what the real stack holds rather than a fixed
// count of levels.

#include <cstdint>

namespace ov {

// True when the frame at the address given has less than a reserve of the current
// thread's stack below it (stacks grow downwards).
bool StackRunningShort(std::uintptr_t frame);

} // namespace ov
