// The calls of the formula compiler: built-ins, IF, the macro functions and user functions,
// each argument a text compiled on its own as the interpreter evaluates it on its own.
#include <cstdint>
#include <string>
#include <vector>

#include "expr/NestingLevels.h"
#include "expr/UnitCompiler.h"

namespace ov::compiler {

bool UnitCompiler::CallBuiltin(Builtin id, const std::vector<std::string_view>& texts, std::uint32_t& r) {
    if (id == Builtin::If) return CallIf(texts, r);
    const std::size_t expected = id == Builtin::Rand && texts.empty() ? 0 : BuiltinArgCount(id);
    if (expected > 0 && texts.size() != expected) return false;
    if (id == Builtin::Rand) { // its generator's state is the interpreter's business
        b_.Emit({Op::GiveUp});
        r = b_.NewSlots(1);
        return true;
    }
    if (texts.size() > 2 || texts.empty()) return false;
    const std::uint32_t x = Unit(texts[0]);
    const std::uint32_t y = texts.size() == 2 ? Unit(texts[1]) : x;
    r = b_.CallBuiltin(id, x, y, static_cast<std::uint32_t>(texts.size()));
    return true;
}

bool UnitCompiler::CallIf(const std::vector<std::string_view>& texts, std::uint32_t& r) {
    if (texts.size() != 3) return false;
    const std::uint32_t condition = Unit(texts[0]);
    double known = 0;
    if (b_.IsConstant(condition, known)) {
        r = Unit(known != 0 ? texts[1] : texts[2]);
        return true;
    }
    r = b_.NewSlots(1);
    Instruction test{Op::JumpIfZero};
    test.a = condition;
    const std::size_t jumpToElse = b_.Emit(test);
    Instruction move{Op::Move};
    move.dst = r, move.a = Unit(texts[1]);
    b_.Emit(move);
    const std::size_t jumpToEnd = b_.Emit({Op::Jump});
    b_.At(jumpToElse).target = static_cast<std::uint32_t>(b_.Size());
    move.a = Unit(texts[2]);
    b_.Emit(move);
    b_.At(jumpToEnd).target = static_cast<std::uint32_t>(b_.Size());
    return true;
}

bool UnitCompiler::CallMacro(Macro kind, const std::vector<std::string_view>& texts, std::uint32_t& r) {
    if (texts.size() != 4 && texts.size() != 5) return false;
    const std::string variable(texts[1]);
    if (!clsFncDef::IsValidName(variable) || variable == "E" || variable == "PI") return false;
    for (const clsArg& p : scope_.def.Params)
        if (NamesEqual(p.Name, variable)) return false;
    // The level more that the interpreter takes for a macro function.
    const NestingLevel level(1, OV_FRAME_ADDRESS());
    if (!level.Opened()) return false;
    NoteDepth(++depth_);
    if (kind == Macro::Integrate) Integral(variable, texts, r);
    else SumOrProduct(kind == Macro::Product, variable, texts, r);
    --depth_;
    return true;
}

void UnitCompiler::SumOrProduct(bool product, const std::string& variable, const std::vector<std::string_view>& texts,
                                std::uint32_t& r) {
    Instruction require{Op::RequireInteger};
    Instruction start{Op::SumStart, product};
    start.a = require.a = Unit(texts[2]);
    b_.Emit(require);
    start.b = require.a = Unit(texts[3]);
    b_.Emit(require);
    r = Loop(start, {Op::SumNext, product}, kSumSlots, kSumIndex, variable, texts) + kSumResult;
}

std::uint32_t UnitCompiler::Loop(Instruction start, Instruction next, std::uint32_t slots, std::uint32_t index,
                                 const std::string& variable, const std::vector<std::string_view>& texts) {
    // The start sets up the state block and jumps past the loop when it has nothing to do;
    // the expression follows it, and the next step goes back to the expression or falls out.
    start.c = texts.size() == 5 ? Unit(texts[4]) : kNoSlot;
    start.dst = b_.NewSlots(slots);
    const std::size_t at = b_.Emit(start);
    next.dst = start.dst;
    next.a = IndexedUnit(texts[0], variable, start.dst + index);
    next.target = static_cast<std::uint32_t>(at + 1);
    b_.Emit(next);
    b_.At(at).target = static_cast<std::uint32_t>(b_.Size());
    return start.dst;
}

void UnitCompiler::Integral(const std::string& variable, const std::vector<std::string_view>& texts,
                            std::uint32_t& r) {
    Instruction start{Op::IntegrateStart};
    start.a = Unit(texts[2]);
    start.b = Unit(texts[3]);
    r = Loop(start, {Op::IntegrateNext}, kIntSlots, kIntIndex, variable, texts) + kIntResult;
}

bool UnitCompiler::CallUser(const std::string& name, const std::vector<std::string_view>& texts, std::uint32_t& r) {
    const clsFncDef* callee = module_.Context().Lookup(name);
    // An unknown name, or an argument count the callee refuses (one without parameters
    // accepts the call, then refuses the values).
    if (!callee || texts.size() != callee->Params.size()) return false;
    std::vector<std::uint32_t> args;
    for (const std::string_view text : texts) args.push_back(Unit(text));
    Instruction call{Op::Call};
    call.a = static_cast<std::uint32_t>(b_.Target().argumentSlots.size());
    call.b = static_cast<std::uint32_t>(args.size());
    call.c = module_.RoutineFor(*callee);
    call.dst = b_.NewSlots(1);
    b_.Target().argumentSlots.insert(b_.Target().argumentSlots.end(), args.begin(), args.end());
    b_.Emit(call);
    r = call.dst;
    return true;
}

} // namespace ov::compiler
