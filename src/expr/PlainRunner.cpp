#include "expr/PlainRunner.h"

#include <cmath>
#include <memory>
#include <vector>

#include "expr/BuiltinMath.h"
#include "expr/CompiledFormula.h"
#include "expr/NestingLevels.h"
#include "expr/clsFncDef.h"

// Each handler ends in a jump of its own through the table of handlers (GCC's labels as
// values), so the processor learns which handler follows which, instead of funnelling
// every instruction through the one jump of a switch.
#pragma GCC diagnostic ignored "-Wpedantic"

namespace ov {

__thread int activeCompiledRuns = 0;

namespace {

// Slots kept in the frame: more than nearly any formula needs.
constexpr std::uint32_t kLocalSlots = 64;

} // namespace

// GCC would merge the handlers' identical endings into one, with one shared jump to the
// next handler again (cross-jumping), and put calls of memcpy or vector code with checks
// of overlap in the place of the loops that copy a handful of values.
#if defined(__GNUC__) && !defined(__clang__)
#define OV_RUNNER_OPTIONS                                                                              \
    __attribute__((optimize("no-crossjumping", "no-gcse", "no-tree-loop-distribute-patterns", "no-tree-vectorize")))
#else
#define OV_RUNNER_OPTIONS
#endif

// Every value computed is kept in acc as well as in its slot. An instruction whose operand
// the one before it has just computed (Instruction::form) takes it from acc, a register,
// instead of reading back the slot just written, which would put a store and a load
// between the two operations. The whole evaluation happens in this one frame.
OV_RUNNER_OPTIONS bool clsFncDef::EvaluatePlain(FunctionContext& context, const std::vector<double>& argumentValues,
                                                clsError& error, double& result) {
    const Routine& r = compiled_->routines.front();
    const std::size_t n = argumentValues.size();
    // With no other evaluation active on this thread (the interpreter never gets here),
    // every nesting counter is 0, and code that neither calls nor loops never asks
    // CheckAbort: nobody could see its own counter go to 1 and back. It runs uncounted, but
    // only where the interpreter would have the levels of the body left.
    if (activeCompiledRuns != 0 || n != Params.size() ||
        nestingLevels + static_cast<int>(r.depth) + 1 > kMaxNestingLevels)
        return EvaluateGeneral(context, argumentValues, error, result);
    double local[kLocalSlots];
    std::unique_ptr<double[]> heap;
    double* v = local;
    if (r.slotCount > kLocalSlots) {
        heap.reset(new double[r.slotCount]);
        v = heap.get();
    }
    const double* args = argumentValues.data();
    for (std::size_t i = 0; i < n; ++i) v[i] = args[i];
    const double* constants = r.constantValues.data();
    for (std::size_t k = 0, count = r.constantValues.size(); k < count; ++k) v[n + k] = constants[k];

    // Three per Op, in its order: the operands from their slots, a from acc, b from acc.
#define OV_FORMS(L) &&L, &&L##_A, &&L##_B
#define OV_SLOTS(L) &&L, &&L, &&L
    static void* const handlers[] = {
        OV_FORMS(Add), OV_FORMS(Sub), OV_FORMS(Mul), OV_FORMS(Div), OV_FORMS(Pow), OV_FORMS(ZeroAdd),
        OV_FORMS(ZeroSub), OV_FORMS(Less), OV_FORMS(Greater), OV_FORMS(Equal), OV_FORMS(LessEqual),
        OV_FORMS(GreaterEqual), OV_FORMS(NotEqual), OV_FORMS(And), OV_FORMS(Or), OV_FORMS(Not),
        OV_FORMS(Builtin), OV_FORMS(PlainBuiltin), OV_SLOTS(Move), OV_SLOTS(RequireInteger), OV_FORMS(JumpIfZero),
        OV_SLOTS(Jump), OV_SLOTS(GiveUp), OV_SLOTS(GiveUp), OV_SLOTS(GiveUp), OV_SLOTS(GiveUp), OV_SLOTS(GiveUp),
        OV_SLOTS(GiveUp), OV_SLOTS(Return)};
    static_assert(sizeof handlers / sizeof handlers[0] == 3 * (static_cast<int>(Op::Return) + 1));
#undef OV_FORMS
#undef OV_SLOTS

    const Instruction* code = r.code.data();
    const Instruction* in = code;
    double acc = 0;
#define OV_DISPATCH goto* handlers[in->form]
#define OV_NEXT                                                                                    \
    ++in;                                                                                          \
    OV_DISPATCH
    // The value of an instruction into acc and its slot, or out as the routine's result.
#define OV_STORE(VALUE)                                                                            \
    {                                                                                              \
        acc = VALUE;                                                                               \
        if (in->post) {                                                                            \
            acc = ApplyPost(in->post, acc);                                                        \
            if (in->post & kPostReturn) goto done;                                                 \
        }                                                                                          \
        v[in->dst] = acc;                                                                          \
        OV_NEXT;                                                                                   \
    }
#define OV_BINARY_FORM(LABEL, OP, X, Y)                                                            \
    LABEL : {                                                                                      \
        double r_;                                                                                 \
        if (!ApplyBinary(Op::OP, X, Y, r_)) goto interpret;                                        \
        OV_STORE(r_)                                                                               \
    }
#define OV_BINARY(OP)                                                                              \
    OV_BINARY_FORM(OP, OP, v[in->a], v[in->b])                                                     \
    OV_BINARY_FORM(OP##_A, OP, acc, v[in->b])                                                      \
    OV_BINARY_FORM(OP##_B, OP, v[in->a], acc)
#define OV_UNARY_FORM(LABEL, OP, X)                                                                \
    LABEL : {                                                                                      \
        double r_;                                                                                 \
        if (!ApplyUnary(Op::OP, X, r_)) goto interpret;                                            \
        OV_STORE(r_)                                                                               \
    }
#define OV_UNARY(OP)                                                                               \
    OV_UNARY_FORM(OP, OP, v[in->a]) OV_UNARY_FORM(OP##_A, OP, acc) OP##_B : goto interpret;
#define OV_BUILTIN(LABEL, X)                                                                       \
    LABEL : {                                                                                      \
        double value, x;                                                                           \
        const double y = in->c == 2 ? v[in->b] : 0;                                                \
        if (!ApplyPre(in->pre, X, x) ||                                                            \
            ComputeBuiltinValue(static_cast<ov::Builtin>(in->aux), x, y, value) !=                 \
                BuiltinFault::None ||                                                              \
            !Finite(value))                                                                        \
            goto interpret;                                                                        \
        OV_STORE(value)                                                                            \
    }
#define OV_PLAIN_BUILTIN(LABEL, X)                                                                 \
    LABEL : {                                                                                      \
        double x;                                                                                  \
        if (!ApplyPre(in->pre, X, x)) goto interpret;                                              \
        const double value = r.functions[in->c](x);                                                \
        if (!Finite(value)) goto interpret;                                                        \
        OV_STORE(value)                                                                            \
    }
#define OV_JUMP_IF_ZERO(LABEL, X)                                                                  \
    LABEL:                                                                                         \
    if (X == 0) {                                                                                  \
        in = code + in->target;                                                                    \
        OV_DISPATCH;                                                                               \
    }                                                                                              \
    OV_NEXT;

    OV_DISPATCH;
    OV_BINARY(Add) OV_BINARY(Sub) OV_BINARY(Mul) OV_BINARY(Div) OV_BINARY(Pow)
    OV_BINARY(Less) OV_BINARY(Greater) OV_BINARY(Equal) OV_BINARY(LessEqual) OV_BINARY(GreaterEqual)
    OV_BINARY(NotEqual) OV_BINARY(And) OV_BINARY(Or)
    OV_UNARY(ZeroAdd) OV_UNARY(ZeroSub) OV_UNARY(Not)
    OV_BUILTIN(Builtin, v[in->a]) OV_BUILTIN(Builtin_A, acc)
    OV_PLAIN_BUILTIN(PlainBuiltin, v[in->a]) OV_PLAIN_BUILTIN(PlainBuiltin_A, acc)
    OV_JUMP_IF_ZERO(JumpIfZero, v[in->a]) OV_JUMP_IF_ZERO(JumpIfZero_A, acc)
Builtin_B:
PlainBuiltin_B:
JumpIfZero_B:
    goto interpret; // no such forms: acc stands for a only
Move:
    acc = v[in->a];
    v[in->dst] = acc;
    OV_NEXT;
RequireInteger:
    if (v[in->a] != std::trunc(v[in->a])) goto interpret;
    OV_NEXT;
Jump:
    in = code + in->target;
    OV_DISPATCH;
GiveUp:
    goto interpret;
Return:
    acc = v[in->a];
done:
    // As the interpreter leaves them: the parameters hold the arguments.
    for (std::size_t i = 0; i < n; ++i) Params[i].Value = args[i];
    result = acc;
    return true;
interpret:
    return Interpret(context, argumentValues, true, true, error, result);
#undef OV_DISPATCH
#undef OV_NEXT
#undef OV_STORE
#undef OV_BINARY_FORM
#undef OV_BINARY
#undef OV_UNARY_FORM
#undef OV_UNARY
#undef OV_BUILTIN
#undef OV_PLAIN_BUILTIN
#undef OV_JUMP_IF_ZERO
}

} // namespace ov
