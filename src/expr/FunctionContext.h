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
    // The definition called name as it stands now, for checking that a compiled formula
    // still matches what it was built from. The default copies it through FindFunction
    // into holder; contexts over lists they can reach return it in place, without a copy.
    virtual const clsFncDef* Definition(std::string_view name, std::unique_ptr<clsFncDef>& holder) {
        holder = FindFunction(name);
        return holder.get();
    }

    // Counts one user call or loop iteration and asks CheckAbort at every 1024th; true
    // stops the evaluation. A compiled run that gave up and was repeated by the interpreter
    // has already been told "no" up to AnsweredTicks, so those questions are not asked twice.
    bool TickStops() { return (++Ticks & 1023) == 0 && Ticks > AnsweredTicks && CheckAbort(); }

    // Bookkeeping shared by all nested calls of one evaluation.
    std::uint64_t Ticks = 0; // loop iterations and calls, to pace CheckAbort
    std::uint64_t AnsweredTicks = 0;
};

} // namespace ov
