#include "expr/PlainRunner.h"

#include <cmath>
#include <vector>

#include "expr/BuiltinMath.h"
#include "expr/CompiledFormula.h"

// Each handler ends in a jump of its own through the table of handlers (GCC's labels as
// values), so the processor learns which handler follows which, instead of funnelling
// every instruction through the one jump of a switch.
#pragma GCC diagnostic ignored "-Wpedantic"

namespace ov {

__thread int activeCompiledRuns = 0;

// A handful of values is copied faster by a loop than by a call of memcpy, which GCC would
// put in place of the copying loops.
#if defined(__GNUC__) && !defined(__clang__)
#define OV_NO_MEMCPY __attribute__((optimize("no-tree-loop-distribute-patterns")))
#else
#define OV_NO_MEMCPY
#endif

OV_NO_MEMCPY bool RunPlainCode(const Routine& r, const double* args, double* v, double& out) {
    const std::uint32_t n = r.paramCount;
    for (std::uint32_t i = 0; i < n; ++i) v[i] = args[i];
    const double* constants = r.constantValues.data();
    for (std::size_t k = 0, count = r.constantValues.size(); k < count; ++k) v[n + k] = constants[k];

    // In the order of Op.
    static void* const handlers[] = {
        &&Add, &&Sub, &&Mul, &&Div, &&Pow, &&ZeroAdd, &&ZeroSub, &&Less, &&Greater, &&Equal, &&LessEqual,
        &&GreaterEqual, &&NotEqual, &&And, &&Or, &&Not, &&Builtin, &&PlainBuiltin, &&Move, &&RequireInteger,
        &&JumpIfZero, &&Jump, &&GiveUp, &&GiveUp, &&GiveUp, &&GiveUp, &&GiveUp, &&GiveUp, &&Return};
    static_assert(sizeof handlers / sizeof handlers[0] == static_cast<int>(Op::Return) + 1);

    const Instruction* code = r.code.data();
    const Instruction* in = code;
#define OV_NEXT goto* handlers[static_cast<int>((++in)->op)]
#define OV_BINARY(OP)                                                                                  \
    OP : {                                                                                             \
        double r_;                                                                                     \
        if (!ApplyBinary(Op::OP, v[in->a], v[in->b], r_)) return false;                                \
        v[in->dst] = in->post ? ApplyPost(in->post, r_) : r_;                                          \
        OV_NEXT;                                                                                       \
    }
#define OV_UNARY(OP)                                                                                   \
    OP:                                                                                                \
    if (!ApplyUnary(Op::OP, v[in->a], v[in->dst])) return false;                                       \
    OV_NEXT;

    goto* handlers[static_cast<int>(in->op)];
    OV_BINARY(Add) OV_BINARY(Sub) OV_BINARY(Mul) OV_BINARY(Div) OV_BINARY(Pow)
    OV_BINARY(Less) OV_BINARY(Greater) OV_BINARY(Equal) OV_BINARY(LessEqual) OV_BINARY(GreaterEqual)
    OV_BINARY(NotEqual) OV_BINARY(And) OV_BINARY(Or)
    OV_UNARY(ZeroAdd) OV_UNARY(ZeroSub) OV_UNARY(Not)
Builtin: {
    double value, x;
    const double y = in->c == 2 ? v[in->b] : 0;
    if (!ApplyPre(in->pre, v[in->a], x) ||
        ComputeBuiltinValue(static_cast<ov::Builtin>(in->aux), x, y, value) != BuiltinFault::None ||
        !Finite(value))
        return false;
    v[in->dst] = in->post ? ApplyPost(in->post, value) : value;
    OV_NEXT;
}
PlainBuiltin: {
    double x;
    if (!ApplyPre(in->pre, v[in->a], x)) return false;
    const double value = r.functions[in->c](x);
    if (!Finite(value)) return false;
    v[in->dst] = in->post ? ApplyPost(in->post, value) : value;
    OV_NEXT;
}
Move:
    v[in->dst] = v[in->a];
    OV_NEXT;
RequireInteger:
    if (v[in->a] != std::trunc(v[in->a])) return false;
    OV_NEXT;
JumpIfZero:
    if (v[in->a] == 0) {
        in = code + in->target;
        goto* handlers[static_cast<int>(in->op)];
    }
    OV_NEXT;
Jump:
    in = code + in->target;
    goto* handlers[static_cast<int>(in->op)];
GiveUp:
    return false;
Return:
    out = v[in->a];
    return true;
#undef OV_NEXT
#undef OV_BINARY
#undef OV_UNARY
}

bool RunPlainOnHeap(const Routine& r, const double* args, double& out) {
    std::vector<double> slots(r.slotCount);
    return RunPlainCode(r, args, slots.data(), out);
}

} // namespace ov
