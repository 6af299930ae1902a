#pragma once
// The compiled form of a user function: register code for its body and for the body of
// every user function it can reach, built once and run with new argument values. It only
// knows the way to a successful result. Wherever the interpreter would report anything
// (an arithmetic fault, a syntax error, a wrong argument count, deep recursion) the code
// gives up, and the whole evaluation is repeated by the interpreter, which then produces
// the exact message. The arithmetic is the interpreter's, operation for operation.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "expr/BuiltinMath.h"
#include "expr/clsFncDef.h"

namespace ov {

class FunctionContext;

enum class Op : std::uint8_t {
    Add, Sub, Mul, Div, Pow, // v[dst] = v[a] op v[b], checked as the interpreter checks them
    ZeroAdd, ZeroSub,        // v[dst] = 0 + v[a] or 0 - v[a]: the first term of a sum
    Less, Greater, Equal, LessEqual, GreaterEqual, NotEqual, And, Or, // 0 or 1
    Not,                     // v[dst] = v[a] == 0
    Builtin,                 // v[dst] = built-in aux of v[a] (and v[b] when c is 2)
    PlainBuiltin,            // v[dst] = the built-in aux of v[a], one that cannot fail
    Move,                    // v[dst] = v[a]
    RequireInteger,          // gives up unless v[a] is an integer (SUM's and PRODUCT's bounds)
    JumpIfZero,              // to target when v[a] == 0
    Jump,                    // to target
    SumStart, SumNext,       // SUM and PRODUCT; state block at dst (see CompiledRunner.cpp)
    IntegrateStart, IntegrateNext, // INTEGRATE; state block at dst
    Call,                    // v[dst] = routine c of the b argument slots listed from a
    GiveUp,                  // the interpreter takes over
    Return                   // the result is v[a]
};

enum PostFlags : std::uint8_t { kPostAdd = 1, kPostSub = 2, kPostSign = 3, kPostReturn = 4 };

struct Instruction {
    Op op;
    std::uint8_t aux = 0;
    // After an arithmetic operation or a built-in: kPostAdd adds the result to 0, kPostSub
    // subtracts it from 0, as the first term of a sum is (a ZeroAdd or ZeroSub folded into
    // it). kPostReturn on the last instruction before the Return, which computes the result
    // of the routine, lets EvaluatePlain return at once; RunCompiled ignores it.
    std::uint8_t post = 0;
    // Before a built-in of one argument: 1 adds v[a] to 0, 2 subtracts it from 0, as the
    // argument, itself a sum, begins (a ZeroAdd or ZeroSub folded into it).
    std::uint8_t pre = 0;
    // For clsFncDef::EvaluatePlain, which keeps the value last computed in a register: the
    // index of the handler, 3 × op, plus 1 when operand a, plus 2 when operand b is that
    // value (see MarkAccumulator; its slot holds it too).
    std::uint8_t form = 0;
    std::uint32_t dst = 0, a = 0, b = 0, c = 0, target = 0;
};

// The slots of a state block of a loop, counted from its dst.
enum SumSlot : std::uint32_t { kSumResult, kSumFrom, kSumStep, kSumCount, kSumK, kSumIndex, kSumSlots };
enum IntegralSlot : std::uint32_t {
    kIntResult, kIntA, kIntB, kIntSign, kIntN, kIntH, kIntFa, kIntFb, kIntOdd, kIntEven, kIntK, kIntPhase, kIntIndex,
    kIntSlots
};
constexpr std::uint32_t kNoSlot = 0xFFFFFFFF;

// The code of one definition's body. Slots 0 .. paramCount-1 hold the arguments.
struct Routine {
    std::string name; // as the definition spells it: the nesting counter's key
    std::uint32_t paramCount = 0;
    std::uint32_t slotCount = 0;
    // The most nesting levels the interpreter opens in the body, its checks of arguments
    // included (NestingLevels.h), not counting the level of the call itself.
    std::uint32_t depth = 0;
    bool plain = true;       // neither calls nor loops: never ticks, never asks CheckAbort
    std::vector<std::pair<std::uint32_t, double>> constants; // slot, value
    std::vector<double> constantValues; // the same values, for the slots from paramCount on
    std::vector<Instruction> code;
    std::vector<std::uint32_t> argumentSlots; // of the calls, in order
    std::vector<PlainBuiltin> functions;      // of the PlainBuiltin instructions, by c
};

// What a definition looked like when it was compiled (or that there was none), by the
// stamps of its texts: equal stamps mean equal texts.
struct DefinitionSnapshot {
    bool found = false;
    std::uint64_t name = 0, body = 0;
    std::vector<std::uint64_t> params;

    static DefinitionSnapshot Of(const clsFncDef* def);
    bool Matches(const clsFncDef* def) const { // inline: it runs before every evaluation
        if (!def) return !found;
        if (!found || def->Body.Stamp() != body || def->Name.Stamp() != name || def->Params.size() != params.size())
            return false;
        for (std::size_t i = 0; i < params.size(); ++i)
            if (def->Params[i].Name.Stamp() != params[i]) return false;
        return true;
    }
};

class CompiledFormula {
public:
    DefinitionSnapshot entry;
    // Every name the compiler looked up in the function context, with what it found.
    std::vector<std::pair<std::string, DefinitionSnapshot>> dependencies;
    std::vector<Routine> routines; // routines[0] is the definition itself
    bool aborted = false;          // the user stopped the compiling: not to be run

    // Valid while the definition and every definition it looked up are unchanged.
    bool Matches(const clsFncDef& def, FunctionContext& context) const {
        return entry.Matches(&def) && (dependencies.empty() || DependenciesMatch(context));
    }

private:
    bool DependenciesMatch(FunctionContext& context) const;
};

// The checked arithmetic, shared by the runner and by constant folding so that a folded
// value is the value the code would have computed. False where the interpreter reports.
inline bool Finite(double v) { return std::isfinite(v); }
inline bool ApplyBinary(Op op, double x, double y, double& r) {
    switch (op) {
    case Op::Add: r = x + y; return Finite(r);
    case Op::Sub: r = x - y; return Finite(r);
    case Op::Mul: r = x * y; return Finite(r);
    case Op::Div: if (y == 0) return false; r = x / y; return Finite(r);
    case Op::Pow: if (x == 0 && y < 0) return false; r = PowerOf(x, y); return Finite(r);
    case Op::Less: r = x < y ? 1 : 0; return true;
    case Op::Greater: r = x > y ? 1 : 0; return true;
    case Op::Equal: r = x == y ? 1 : 0; return true;
    case Op::LessEqual: r = x <= y ? 1 : 0; return true;
    case Op::GreaterEqual: r = x >= y ? 1 : 0; return true;
    case Op::NotEqual: r = x != y ? 1 : 0; return true;
    case Op::And: r = (x != 0 && y != 0); return true;
    case Op::Or: r = (x != 0 || y != 0); return true;
    default: return false;
    }
}
inline double ApplyPost(std::uint8_t post, double r) {
    const double zero = 0;
    switch (post & kPostSign) {
    case kPostAdd: return zero + r;
    case kPostSub: return zero - r;
    default: return r;
    }
}
// The argument of a built-in with its folded first-term operation: false where that
// operation overflowed, as the ZeroAdd or ZeroSub it replaces would have reported.
inline bool ApplyPre(std::uint8_t pre, double x, double& r) {
    if (pre == 0) return r = x, true;
    r = ApplyPost(pre, x);
    return Finite(r);
}
inline bool ApplyUnary(Op op, double x, double& r) {
    const double zero = 0; // the interpreter's sum starts at 0: 0 + -0 is +0
    switch (op) {
    case Op::ZeroAdd: r = zero + x; return Finite(r);
    case Op::ZeroSub: r = zero - x; return Finite(r);
    case Op::Not: r = x == 0 ? 1 : 0; return true;
    default: return false;
    }
}

} // namespace ov
