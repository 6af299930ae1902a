#pragma once
// What an evaluation needs from its surroundings: the user-defined functions it may call,
// their nesting counters, and whether the user wants to stop a long computation.

#include <cstdint>
#include <memory>
#include <string_view>

namespace ov {

class clsFncDef;

class FunctionContext {
public:
    virtual ~FunctionContext() = default;

    // A private copy of the user function called name (case-insensitive), or null.
    virtual std::unique_ptr<clsFncDef> FindFunction(std::string_view name) = 0;
    // Adds delta to the nesting counter of the user function called name and returns the
    // new counter; 0 when there is no such function.
    virtual int NestFunction(std::string_view name, int delta) = 0;
    // Asked now and then during long computations; true stops the evaluation.
    virtual bool CheckAbort() { return false; }

    // Bookkeeping shared by all nested calls of one evaluation.
    std::uint64_t Ticks = 0; // loop iterations and calls, to pace CheckAbort
};

} // namespace ov
