#pragma once
// The quick way through a compiled routine that neither calls nor loops, as nearly every
// formula of a shape is: its slots on the stack, and each instruction jumping straight to
// the next one's handler.

#include <cstdint>
#include <vector>

#include "expr/CompiledFormula.h"
#include "expr/StackRoom.h"
#include "expr/clsFncDef.h"

namespace ov {

// Compiled evaluations with calls or loops under way on this thread, as CompiledRunner.cpp
// counts them.
extern __thread int activeCompiledRuns;

// Stack a compiled evaluation leaves free beyond the interpreter's own reserve, so that it
// never goes on where the interpreter would have run out of room.
constexpr std::uintptr_t kCompiledStackMargin = std::uintptr_t{3} << 20;

// Runs r, a plain routine, with its arguments in args, on the slots given (r.slotCount of
// them). False where the interpreter has to take over.
bool RunPlainCode(const Routine& r, const double* args, double* slots, double& out);
// The same with slots of its own, for a routine with more than kPlainStackSlots.
bool RunPlainOnHeap(const Routine& r, const double* args, double& out);
constexpr std::uint32_t kPlainStackSlots = 64;

// Evaluates def, whose compiled form has the plain entry routine entry, as RunCompiled
// would: 1 done with result; -1 the interpreter has to evaluate; 0 when this is not the
// place (another compiled evaluation is under way, or the stack is short) and RunCompiled
// has to. Nothing has changed unless it returns 1. Inline: it is the way of nearly every
// evaluation.
__attribute__((always_inline)) inline int RunPlainFormula(const Routine& entry, clsFncDef& def,
                                                          const std::vector<double>& argumentValues, double& result) {
    const std::size_t n = argumentValues.size();
    // With no other evaluation active on this thread (the interpreter never gets here),
    // every nesting counter is 0, and code that neither calls nor loops never asks
    // CheckAbort: nobody could see its own counter go to 1 and back. It runs uncounted.
    if (activeCompiledRuns != 0 || n != def.Params.size() ||
        StackRunningShort(reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) - kCompiledStackMargin))
        return 0;
    const double* args = argumentValues.data();
    double value;
    if (entry.slotCount <= kPlainStackSlots) {
        double slots[kPlainStackSlots];
        if (!RunPlainCode(entry, args, slots, value)) return -1;
    } else if (!RunPlainOnHeap(entry, args, value)) {
        return -1;
    }
    // As the interpreter leaves them: the parameters hold the arguments.
    for (std::size_t i = 0; i < n; ++i) def.Params[i].Value = args[i];
    result = value;
    return 1;
}

} // namespace ov
