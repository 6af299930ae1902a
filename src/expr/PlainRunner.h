#pragma once
// The quick way through a compiled definition whose body neither calls nor loops, as nearly
// every formula of a shape is: clsFncDef::EvaluatePlain (PlainRunner.cpp) runs it with its
// slots on the stack, each instruction jumping straight to the next one's handler.

#include <cstdint>

namespace ov {

// Compiled evaluations with calls or loops under way on this thread, as CompiledRunner.cpp
// counts them.
extern __thread int activeCompiledRuns;

} // namespace ov
