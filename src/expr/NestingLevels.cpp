#include "expr/NestingLevels.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define OV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OV_ADDRESS_SANITIZER 1
#endif
#endif

namespace ov {

namespace {

// The most stack one level may take, with a margin, in this build. Measured, the costliest
// ways down (a built-in's or a user function's argument evaluated, a branch of IF) take
// about 1.1 KB a level in an optimised build, 2.1 KB unoptimised and 4.3 KB unoptimised with
// AddressSanitizer, whose red zones surround every local.
#if defined(OV_ADDRESS_SANITIZER)
constexpr std::size_t kLevelBytes = std::size_t{6} << 10;
#elif !defined(__OPTIMIZE__)
constexpr std::size_t kLevelBytes = std::size_t{3} << 10;
#else
constexpr std::size_t kLevelBytes = std::size_t{2} << 10;
#endif

// The stack kept free below the deepest level: enough for the work below a level that does
// not recurse, including the event processing of the abort check, which may paint views and
// show a question, and for the gap the kernel keeps between a stack and the mapping below.
constexpr std::size_t kReserveBytes = std::size_t{2} << 20;

// What the program has used before the first formula (its start-up, an event loop).
constexpr std::size_t kAboveBytes = std::size_t{1} << 20;

// 26.4 MiB in an optimised build, 38.2 MiB unoptimised, 73.3 MiB with AddressSanitizer.
constexpr std::size_t kStackBytes = kMaxNestingLevels * kLevelBytes + kReserveBytes + kAboveBytes;

// Assumed when the thread's stack cannot be asked for: the smallest default among the
// systems this runs on, counted from where the thread first asked.
constexpr std::uintptr_t kFallbackStackBytes = std::uintptr_t{4} << 20;

// The main thread's stack grows on demand up to the soft RLIMIT_STACK in force at the time,
// and the kernel keeps at least 128 MB free below it for that. Setting the soft limit is
// therefore enough, up to what the hard limit allows. A larger or unlimited one is lowered
// to the same size, so that the stack has the bounds the checks count on whatever the
// program was started with. Other threads have stacks of a fixed size, which no limit
// changes. (Programs started from this one inherit the limit set.)
void SizeMainThreadStack() {
    if (syscall(SYS_gettid) != getpid()) return;
    rlimit limit{};
    if (getrlimit(RLIMIT_STACK, &limit) != 0) return;
    const rlim_t wanted = limit.rlim_max == RLIM_INFINITY ? kStackBytes : std::min<rlim_t>(kStackBytes, limit.rlim_max);
    if (wanted == limit.rlim_cur) return;
    limit.rlim_cur = wanted;
    setrlimit(RLIMIT_STACK, &limit);
}

// The stack of a thread made for formulas: every level, and the ordinary stack of a program
// (8 MB) for the work around them (reading a project, painting).
constexpr std::size_t kThreadStackBytes = kStackBytes + (std::size_t{8} << 20);

struct Job {
    const std::function<void()>* work;
    std::exception_ptr failure;
};

void* RunJob(void* data) {
    Job& job = *static_cast<Job*>(data);
    try {
        (*job.work)();
    } catch (...) {
        job.failure = std::current_exception();
    }
    return nullptr;
}

struct StackBounds {
    std::uintptr_t lowest; // the stack's lowest usable address
    std::uintptr_t size;
};

// For the main thread the C library derives the bounds from RLIMIT_STACK and the mappings
// below the stack, so it has to be asked after the limit was raised.
StackBounds CurrentStack() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        void* address = nullptr;
        std::size_t size = 0;
        const bool known = pthread_attr_getstack(&attr, &address, &size) == 0 && address && size > 0;
        pthread_attr_destroy(&attr);
        if (known) return {reinterpret_cast<std::uintptr_t>(address), size};
    }
    const std::uintptr_t here = OV_FRAME_ADDRESS();
    return {here > kFallbackStackBytes ? here - kFallbackStackBytes : 0, kFallbackStackBytes};
}

} // namespace

__thread int nestingLevels = 0;
__thread int deepestNestingLevel = 0;
__thread std::uintptr_t stackFloor = 0;

std::uintptr_t SetUpStack() {
    // Once per thread: asking reads the process's memory map, and a thread's stack never
    // moves. A thread with a small stack keeps an eighth of it instead of the full reserve.
    if (stackFloor == 0) {
        SizeMainThreadStack();
        const StackBounds stack = CurrentStack();
        stackFloor = stack.lowest + std::min<std::uintptr_t>(kReserveBytes, stack.size / 8);
    }
    return stackFloor;
}

void RunWithFormulaStack(const std::function<void()>& work) {
    Job job{&work, nullptr};
    pthread_attr_t attr;
    pthread_t thread;
    bool started = false;
    if (pthread_attr_init(&attr) == 0) {
        started = pthread_attr_setstacksize(&attr, kThreadStackBytes) == 0 &&
                  pthread_create(&thread, &attr, RunJob, &job) == 0;
        pthread_attr_destroy(&attr);
    }
    if (!started) {
        // No room for another stack: the checks of the stack address still stop formulas
        // before this thread's stack ends.
        work();
        return;
    }
    pthread_join(thread, nullptr);
    if (job.failure) std::rethrow_exception(job.failure);
}

} // namespace ov
