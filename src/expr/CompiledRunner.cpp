#include "expr/CompiledRunner.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "expr/BuiltinMath.h"
#include "expr/CompiledFormula.h"
#include "expr/FunctionContext.h"
#include "expr/PlainRunner.h"
#include "expr/NestingLevels.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov {

namespace {

// Deep nesting is left to the interpreter, whose count of levels decides where it ends:
// each active routine costs its depth plus one, the most levels the interpreter opens for
// that call (Routine::depth), and a run only starts where the interpreter would have all
// of the budget's levels left, so the compiled code never succeeds where the interpreter
// would have stopped.
constexpr std::uint32_t kDepthBudget = 400;
constexpr double kMaxIterations = 9007199254740992.0; // 2^53, as in the interpreter's loops

bool Integral(double v) { return v == std::trunc(v); }

struct ActiveRun {
    ActiveRun() { ++activeCompiledRuns; }
    ~ActiveRun() { --activeCompiledRuns; }
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;
};

// The slots of one running routine: on the stack when few, as nearly always.
class Frame {
public:
    explicit Frame(const Routine& r) {
        if (r.slotCount > kLocal) {
            heap_.resize(r.slotCount);
            slots_ = heap_.data();
        }
        // The constants follow the parameters (PackConstants).
        const double* values = r.constantValues.data();
        double* to = slots_ + r.paramCount;
        for (std::size_t k = 0, n = r.constantValues.size(); k < n; ++k) to[k] = values[k];
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
    double* Slots() { return slots_; }

private:
    static constexpr std::uint32_t kLocal = 48;
    double local_[kLocal];
    std::vector<double> heap_;
    double* slots_ = local_;
};

class Runner {
public:
    Runner(const CompiledFormula& formula, FunctionContext& context) : formula_(formula), context_(context) {}

    // Runs a routine whose arguments are in v, counting it as an evaluation of its name.
    CompiledOutcome Enter(const Routine& r, double* v, double& out);

private:
    CompiledOutcome Run(const Routine& r, double* v, double& out);
    CompiledOutcome Call(const Routine& caller, const Instruction& in, double* v);
    bool SumStart(const Instruction& in, double* v, std::size_t& pc);
    bool SumNext(const Instruction& in, double* v, std::size_t& pc);
    bool IntegrateStart(const Instruction& in, double* v, std::size_t& pc);
    bool IntegrateNext(const Instruction& in, double* v, std::size_t& pc);
    // The next evaluation of a loop's expression at x: tick, set the index, jump to body.
    bool Iterate(double* index, double x, std::uint32_t body, std::size_t& pc) {
        if (context_.TickStops()) return aborted_ = true, false;
        *index = x;
        pc = body;
        return true;
    }

    const CompiledFormula& formula_;
    FunctionContext& context_;
    std::uint32_t depth_ = 0;
    bool aborted_ = false; // set with a false return of the loop steps
};

CompiledOutcome Runner::Enter(const Routine& r, double* v, double& out) {
    if (depth_ + r.depth + 1 > kDepthBudget) return CompiledOutcome::GiveUp;
    // Counted on the thread as well, for whatever evaluates while this runs (an abort check
    // that lets events through).
    const NestingLevel level(static_cast<int>(r.depth) + 1, OV_FRAME_ADDRESS());
    if (!level.Opened()) return CompiledOutcome::GiveUp;
    if (context_.NestFunction(r.name, 1) > clsFncDef::kMaxNesting) {
        context_.NestFunction(r.name, -1);
        return CompiledOutcome::GiveUp;
    }
    depth_ += r.depth + 1;
    const CompiledOutcome o = Run(r, v, out);
    depth_ -= r.depth + 1;
    context_.NestFunction(r.name, -1);
    return o;
}

CompiledOutcome Runner::Call(const Routine& caller, const Instruction& in, double* v) {
    // The interpreter counts a call after its arguments, before entering the callee.
    if (context_.TickStops()) return CompiledOutcome::Aborted;
    const Routine& callee = formula_.routines[in.c];
    Frame frame(callee);
    double* args = frame.Slots();
    for (std::uint32_t i = 0; i < in.b; ++i) args[i] = v[caller.argumentSlots[in.a + i]];
    return Enter(callee, args, v[in.dst]);
}

#define OV_BINARY(OP)                                                                                  \
    case Op::OP: {                                                                                     \
        double r_ = 0;                                                                                 \
        if (!ApplyBinary(Op::OP, v[in.a], v[in.b], r_)) return CompiledOutcome::GiveUp;                \
        v[in.dst] = in.post ? ApplyPost(in.post, r_) : r_;                                             \
        break;                                                                                         \
    }
#define OV_UNARY(OP)                                                                                   \
    case Op::OP:                                                                                       \
        if (!ApplyUnary(Op::OP, v[in.a], v[in.dst])) return CompiledOutcome::GiveUp;                   \
        break;

CompiledOutcome Runner::Run(const Routine& r, double* v, double& out) {
    const Instruction* code = r.code.data();
    for (std::size_t pc = 0;;) {
        const Instruction& in = code[pc++];
        switch (in.op) {
            OV_BINARY(Add) OV_BINARY(Sub) OV_BINARY(Mul) OV_BINARY(Div) OV_BINARY(Pow)
            OV_BINARY(Less) OV_BINARY(Greater) OV_BINARY(Equal) OV_BINARY(LessEqual) OV_BINARY(GreaterEqual)
            OV_BINARY(NotEqual) OV_BINARY(And) OV_BINARY(Or)
            OV_UNARY(ZeroAdd) OV_UNARY(ZeroSub) OV_UNARY(Not)
        case Op::Builtin: {
            double value = 0, x = 0;
            const double y = in.c == 2 ? v[in.b] : 0;
            if (!ApplyPre(in.pre, v[in.a], x) ||
                ComputeBuiltinValue(static_cast<Builtin>(in.aux), x, y, value) != BuiltinFault::None ||
                !Finite(value))
                return CompiledOutcome::GiveUp;
            v[in.dst] = in.post ? ApplyPost(in.post, value) : value;
            break;
        }
        case Op::PlainBuiltin: {
            double x = 0;
            if (!ApplyPre(in.pre, v[in.a], x)) return CompiledOutcome::GiveUp;
            const double value = r.functions[in.c](x);
            if (!Finite(value)) return CompiledOutcome::GiveUp;
            v[in.dst] = in.post ? ApplyPost(in.post, value) : value;
            break;
        }
        case Op::Move: v[in.dst] = v[in.a]; break;
        case Op::RequireInteger:
            if (!Integral(v[in.a])) return CompiledOutcome::GiveUp;
            break;
        case Op::JumpIfZero:
            if (v[in.a] == 0) pc = in.target;
            break;
        case Op::Jump: pc = in.target; break;
        case Op::SumNext: // the most frequent of the loop steps: one per term
            if (!SumNext(in, v, pc)) return aborted_ ? CompiledOutcome::Aborted : CompiledOutcome::GiveUp;
            break;
        case Op::SumStart:
        case Op::IntegrateStart:
        case Op::IntegrateNext: {
            const bool ok = in.op == Op::SumStart         ? SumStart(in, v, pc)
                            : in.op == Op::IntegrateStart ? IntegrateStart(in, v, pc)
                                                          : IntegrateNext(in, v, pc);
            if (!ok) return aborted_ ? CompiledOutcome::Aborted : CompiledOutcome::GiveUp;
            break;
        }
        case Op::Call:
            if (const CompiledOutcome o = Call(r, in, v); o != CompiledOutcome::Done) return o;
            break;
        case Op::GiveUp: return CompiledOutcome::GiveUp;
        case Op::Return: out = v[in.a]; return CompiledOutcome::Done;
        }
    }
}

#undef OV_BINARY
#undef OV_UNARY

// SUM and PRODUCT: from, to and step (kNoSlot: 1) have been evaluated and checked to be
// integers in order; the expression follows this instruction, SumNext ends it.
bool Runner::SumStart(const Instruction& in, double* v, std::size_t& pc) {
    double* s = v + in.dst;
    const double from = v[in.a], to = v[in.b];
    double step = in.c == kNoSlot ? 1 : v[in.c];
    if (!Integral(step) || step <= 0) return false;
    if (from > to) step = -step;
    const double count = std::floor((to - from) / step) + 1;
    if (!(count <= kMaxIterations)) return false;
    s[kSumResult] = in.aux ? 1 : 0;
    s[kSumFrom] = from;
    s[kSumStep] = step;
    s[kSumCount] = count;
    s[kSumK] = 0;
    if (!(s[kSumK] < count)) {
        pc = in.target;
        return true;
    }
    return Iterate(s + kSumIndex, from + s[kSumK] * step, static_cast<std::uint32_t>(pc), pc);
}

inline bool Runner::SumNext(const Instruction& in, double* v, std::size_t& pc) {
    double* s = v + in.dst;
    const double value = v[in.a];
    const double sum = in.aux ? s[kSumResult] * value : s[kSumResult] + value;
    if (!Finite(sum)) return false;
    s[kSumResult] = sum;
    const double k = s[kSumK] + 1;
    s[kSumK] = k;
    if (!(k < s[kSumCount])) return true;
    return Iterate(s + kSumIndex, s[kSumFrom] + k * s[kSumStep], in.target, pc);
}

// INTEGRATE: a, b and the step (kNoSlot: the default) have been evaluated in order. The
// expression follows; IntegrateNext collects its values at a, at b, at the odd points and
// then at the even ones, and computes Simpson's sum as the interpreter does.
bool Runner::IntegrateStart(const Instruction& in, double* v, std::size_t& pc) {
    double* s = v + in.dst;
    double a = v[in.a], b = v[in.b];
    double sign = 1;
    if (b < a) {
        std::swap(a, b);
        sign = -1;
    }
    double h0 = (b - a) / 100;
    if (in.c != kNoSlot) h0 = v[in.c];
    s[kIntResult] = 0;
    if (a == b) {
        pc = in.target;
        return true;
    }
    if (!(h0 > 0)) return false;
    double n = std::trunc((b - a) / (2 * h0) + 0.5);
    if (n <= 2) n = 50;
    if (!(n <= kMaxIterations / 2)) return false;
    const double h = (b - a) / (2 * n);
    if (!Finite(h)) return false;
    s[kIntA] = a, s[kIntB] = b, s[kIntSign] = sign, s[kIntN] = n, s[kIntH] = h;
    s[kIntFa] = s[kIntFb] = s[kIntOdd] = s[kIntEven] = 0;
    s[kIntPhase] = 0;
    return Iterate(s + kIntIndex, a, static_cast<std::uint32_t>(pc), pc);
}

bool Runner::IntegrateNext(const Instruction& in, double* v, std::size_t& pc) {
    double* s = v + in.dst;
    const double value = v[in.a];
    const double a = s[kIntA], n = s[kIntN], h = s[kIntH];
    double* index = s + kIntIndex;
    switch (static_cast<int>(s[kIntPhase])) {
    case 0:
        s[kIntFa] = value;
        s[kIntPhase] = 1;
        return Iterate(index, s[kIntB], in.target, pc);
    case 1:
        s[kIntFb] = value;
        s[kIntK] = 1;
        break;
    case 2:
        s[kIntOdd] += value;
        ++s[kIntK];
        break;
    default:
        s[kIntEven] += value;
        ++s[kIntK];
        break;
    }
    const double k = s[kIntK];
    if (s[kIntPhase] != 3) {
        if (k <= n) {
            s[kIntPhase] = 2;
            return Iterate(index, a + (2 * k - 1) * h, in.target, pc);
        }
        s[kIntK] = 1;
        s[kIntPhase] = 3;
        if (1 <= n - 1) return Iterate(index, a + 2 * s[kIntK] * h, in.target, pc);
    } else if (k <= n - 1) {
        return Iterate(index, a + 2 * k * h, in.target, pc);
    }
    const double fa = s[kIntFa], fb = s[kIntFb], odd = s[kIntOdd], even = s[kIntEven], sign = s[kIntSign];
    const double r = ((fa + fb) + 4 * odd + 2 * even) * sign * h / 3;
    s[kIntResult] = r;
    return Finite(r);
}

} // namespace

CompiledOutcome RunCompiled(const CompiledFormula& formula, clsFncDef& def, FunctionContext& context,
                            const std::vector<double>& argumentValues, clsError& error, double& result) {
    const Routine& entry = formula.routines.front();
    const std::size_t n = argumentValues.size();
    if (n != def.Params.size() || nestingLevels + static_cast<int>(kDepthBudget) > kMaxNestingLevels)
        return CompiledOutcome::GiveUp;
    const double* args = argumentValues.data();
    Frame frame(entry);
    double* v = frame.Slots();
    for (std::size_t i = 0; i < n; ++i) v[i] = args[i];
    Runner runner(formula, context);
    double value = 0;
    const ActiveRun active;
    const CompiledOutcome o = runner.Enter(entry, v, value);
    if (o == CompiledOutcome::GiveUp) return o;
    // As the interpreter leaves them: the parameters hold the arguments.
    for (std::size_t i = 0; i < n; ++i) def.Params[i].Value = args[i];
    if (o == CompiledOutcome::Aborted) error.Aborted();
    else result = value;
    return o;
}

} // namespace ov
