#include "expr/FormulaCompiler.h"

#include "expr/NestingLevels.h"
#include "expr/UnitCompiler.h"

namespace ov {

namespace compiler {

namespace {
constexpr std::size_t kRoutinesBetweenChecks = 256;
}

void ModuleCompiler::Build(const clsFncDef& def) {
    out_.entry = DefinitionSnapshot::Of(&def);
    out_.routines.reserve(4);
    out_.routines.emplace_back();
    pending_.push_back({0, &def});
    // Callees are compiled one after another, not inside their callers, so that a long
    // chain of calls costs no stack here.
    for (std::size_t compiled = 1; !pending_.empty(); ++compiled) {
        // A chain of many thousand functions takes a while: the user may stop it.
        if (compiled % kRoutinesBetweenChecks == 0 && context_.CheckAbort()) {
            out_.aborted = true;
            return;
        }
        const Job job = pending_.front();
        pending_.pop_front();
        CompileRoutine(job.index, *job.def);
    }
}

std::uint32_t ModuleCompiler::RoutineFor(const clsFncDef& callee) {
    const auto index = static_cast<std::uint32_t>(out_.routines.size());
    const auto [known, added] = byName_.emplace(ToUpperAscii(callee.Name), index);
    if (!added) return known->second;
    out_.routines.emplace_back();
    pending_.push_back({index, &callee}); // kept by the recording context
    return index;
}

void ModuleCompiler::CompileRoutine(std::uint32_t index, const clsFncDef& def) {
    Routine r;
    r.name = def.Name;
    r.paramCount = static_cast<std::uint32_t>(def.Params.size());
    Builder b(r);
    Scope scope;
    scope.def.Name = def.Name;
    scope.def.Params = def.Params;
    for (std::uint32_t i = 0; i < r.paramCount; ++i) scope.slots.push_back(i);
    const std::string upper = ToUpperAscii(def.Body);
    ArgumentListMemo memo(scope.def.Params.size());
    UnitCompiler unit(*this, b, scope, upper, 0, memo);
    // The level the interpreter takes for the call, under which the body's levels count.
    const NestingLevel level(1, OV_FRAME_ADDRESS());
    std::uint32_t result = 0;
    if (level.Opened() && upper.size() <= kMaxBodyLength && unit.Body(result)) {
        MarkReturn(r.code, result);
        Instruction ret{Op::Return};
        ret.a = result;
        b.Emit(ret);
    } else {
        b.Truncate(0);
        b.Emit({Op::GiveUp});
    }
    PackConstants(r);
    MarkAccumulator(r.code);
    r.depth = unit.MaxDepth();
    for (const Instruction& in : r.code)
        if (in.op == Op::Call || in.op == Op::SumStart || in.op == Op::IntegrateStart) r.plain = false;
    out_.routines[index] = std::move(r);
}

} // namespace compiler

std::shared_ptr<const CompiledFormula> CompileFormula(const clsFncDef& def, FunctionContext& context) {
    auto formula = std::make_shared<CompiledFormula>();
    compiler::ModuleCompiler module(context, *formula);
    module.Build(def);
    return formula;
}

} // namespace ov
