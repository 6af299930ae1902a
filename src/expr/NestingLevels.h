#pragma once
// How deeply formulas may nest. The evaluator recurses once per parenthesis, "!" or call,
// and once more per user function and per SUM, PRODUCT or INTEGRATE, which take more stack
// than a parenthesis; so do the formula compiler, its checks and the compiled code. They
// all count these levels on the thread and stop at one fixed number, so that a formula
// gives the same result on every run, in every build and whatever soft stack limit the
// program was started with: the stack that many levels need is made available when the
// thread first opens a level (NestingLevels.cpp). Only where it cannot be had (a hard limit
// below it, a thread with a small stack of its own) does a check of the stack address stop
// a formula earlier, with the same message, rather than let it overflow the stack.

#include <cstdint>
#include <functional>

namespace ov {

// Room for 100 active user functions, the most the language allows at once, each nesting
// its body 100 levels deep and costing one level more for the call (10,100 levels), and
// some 1,900 levels to spare for the formula that calls them.
constexpr int kMaxNestingLevels = 12000;

// Levels open on this thread, and the most that were open at once since the last reset
// (the formula compiler reads it to learn how deep the checks of a body went).
extern __thread int nestingLevels;
extern __thread int deepestNestingLevel;

// The lowest frame address at which a level may still open on this thread; 0 until
// SetUpStack has set up the thread's stack. (__thread, unlike thread_local, is read
// directly from other files, without a call.)
extern __thread std::uintptr_t stackFloor;
std::uintptr_t SetUpStack();

// Runs work to its end on a new thread whose stack the program sizes for every level
// allowed, whatever stack limit the program was started with (an exception is passed on).
// Where no thread can be made, work runs on this one.
void RunWithFormulaStack(const std::function<void()>& work);

// Opens count levels for the frame at the address given, until the guard ends. Not opened
// (nothing counted) when they would pass the limit, or the stack below the frame is short.
class NestingLevel {
public:
    NestingLevel(int count, std::uintptr_t frame) {
        const std::uintptr_t floor = stackFloor;
        if (nestingLevels + count > kMaxNestingLevels || frame < (floor != 0 ? floor : SetUpStack())) return;
        count_ = count;
        nestingLevels += count;
        if (nestingLevels > deepestNestingLevel) deepestNestingLevel = nestingLevels;
    }
    ~NestingLevel() { nestingLevels -= count_; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;
    bool Opened() const { return count_ != 0; }

private:
    int count_ = 0;
};

} // namespace ov

// The frame address of the calling function: it, rather than the address of a local, which
// a sanitizer may place off the stack, tells how much stack is in use.
#define OV_FRAME_ADDRESS() reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0))
