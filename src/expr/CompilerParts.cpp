#include "expr/CompilerParts.h"

#include <cstring>

#include "expr/BuiltinMath.h"

namespace ov::compiler {

const clsFncDef* RecordingContext::Lookup(std::string_view name) {
    std::string key = ToUpperAscii(name);
    if (const auto known = found_.find(key); known != found_.end()) return known->second.get();
    std::unique_ptr<clsFncDef> def = inner_.FindFunction(name);
    out_.dependencies.emplace_back(key, DefinitionSnapshot::Of(def.get()));
    return found_.emplace(std::move(key), std::move(def)).first->second.get();
}

std::uint32_t Builder::NewSlots(std::uint32_t n) {
    const std::uint32_t first = r_.slotCount;
    r_.slotCount += n;
    return first;
}

std::uint32_t Builder::Constant(double value) {
    for (const auto& [slot, v] : r_.constants)
        if (std::memcmp(&v, &value, sizeof value) == 0) return slot;
    const std::uint32_t slot = NewSlots(1);
    r_.constants.emplace_back(slot, value);
    return slot;
}

bool Builder::IsConstant(std::uint32_t slot, double& value) const {
    for (const auto& [s, v] : r_.constants)
        if (s == slot) return value = v, true;
    return false;
}

std::uint32_t Builder::Binary(Op op, std::uint32_t a, std::uint32_t b) {
    double x = 0, y = 0, r = 0;
    if (IsConstant(a, x) && IsConstant(b, y) && ApplyBinary(op, x, y, r)) return Constant(r);
    const std::uint32_t dst = NewSlots(1);
    Instruction in{op};
    in.dst = dst, in.a = a, in.b = b;
    Emit(in);
    return dst;
}

std::uint32_t Builder::Unary(Op op, std::uint32_t a) {
    double x = 0, r = 0;
    if (IsConstant(a, x) && ApplyUnary(op, x, r)) return Constant(r);
    // The first term of a sum, just computed into a slot nothing else reads: the addition
    // to 0 becomes part of the instruction that computed it.
    if ((op == Op::ZeroAdd || op == Op::ZeroSub) && !r_.code.empty()) {
        Instruction& last = r_.code.back();
        const bool arithmetic = last.op == Op::Add || last.op == Op::Sub || last.op == Op::Mul ||
                                last.op == Op::Div || last.op == Op::Pow || last.op == Op::Builtin ||
                                last.op == Op::PlainBuiltin;
        if (arithmetic && last.dst == a && last.post == 0) {
            last.post = op == Op::ZeroAdd ? kPostAdd : kPostSub;
            return a;
        }
    }
    const std::uint32_t dst = NewSlots(1);
    Instruction in{op};
    in.dst = dst, in.a = a;
    Emit(in);
    return dst;
}

std::uint32_t Builder::CallBuiltin(Builtin id, std::uint32_t x, std::uint32_t y, std::uint32_t arity) {
    double vx = 0, vy = 0, r = 0;
    const bool constant = IsConstant(x, vx) && (arity < 2 || IsConstant(y, vy));
    if (constant && ComputeBuiltinValue(id, vx, arity < 2 ? 0 : vy, r) == BuiltinFault::None && Finite(r))
        return Constant(r);
    // An argument that is a sum of one term was just added to 0 into a slot nothing else
    // reads: the built-in does that itself, in the place of that instruction, so a jump
    // to it still finds the work it jumped to. No jump lands after it: the branches of IF
    // and the loops end in instructions of their own.
    std::uint8_t pre = 0;
    if (arity == 1 && !r_.code.empty()) {
        const Instruction& last = r_.code.back();
        if ((last.op == Op::ZeroAdd || last.op == Op::ZeroSub) && last.dst == x) {
            pre = last.op == Op::ZeroAdd ? kPostAdd : kPostSub;
            x = last.a;
            r_.code.pop_back();
        }
    }
    const std::uint32_t dst = NewSlots(1);
    if (const PlainBuiltin f = PlainBuiltinFunction(id); f && arity == 1) {
        Instruction in{Op::PlainBuiltin};
        in.dst = dst, in.a = x, in.c = static_cast<std::uint32_t>(r_.functions.size()), in.pre = pre;
        r_.functions.push_back(f);
        Emit(in);
        return dst;
    }
    Instruction in{Op::Builtin, static_cast<std::uint8_t>(id)};
    in.dst = dst, in.a = x, in.b = arity < 2 ? x : y, in.c = arity, in.pre = pre;
    Emit(in);
    return dst;
}

void MarkReturn(std::vector<Instruction>& code, std::uint32_t result) {
    if (code.empty()) return;
    Instruction& last = code.back();
    const bool marks = (last.op >= Op::Add && last.op <= Op::Not) || last.op == Op::Builtin ||
                       last.op == Op::PlainBuiltin;
    if (!marks || last.dst != result) return;
    // A jump to the Return must still find it; no other instruction has a target there.
    const auto size = static_cast<std::uint32_t>(code.size());
    for (const Instruction& in : code)
        if (in.target == size) return;
    last.post |= kPostReturn;
}

void MarkAccumulator(std::vector<Instruction>& code) {
    std::vector<bool> target(code.size() + 1, false);
    for (const Instruction& in : code)
        if (in.op == Op::Jump || in.op == Op::JumpIfZero || (in.op >= Op::SumStart && in.op <= Op::IntegrateNext))
            target[in.target] = true;
    for (std::size_t i = 0; i < code.size(); ++i) {
        Instruction& in = code[i];
        in.form = static_cast<std::uint8_t>(3 * static_cast<int>(in.op));
        // Arrived at from elsewhere, the register may hold another path's value.
        if (i == 0 || target[i]) continue;
        const Instruction& before = code[i - 1];
        const bool computes = (before.op >= Op::Add && before.op <= Op::PlainBuiltin) || before.op == Op::Move;
        const bool unary = (in.op >= Op::ZeroAdd && in.op <= Op::ZeroSub) || in.op == Op::Not ||
                           in.op == Op::Builtin || in.op == Op::PlainBuiltin || in.op == Op::JumpIfZero;
        const bool binary = (in.op >= Op::Add && in.op <= Op::Pow) || (in.op >= Op::Less && in.op <= Op::Or);
        if (!computes) continue;
        if ((unary || binary) && in.a == before.dst) in.form += 1;
        else if (binary && in.b == before.dst) in.form += 2;
    }
}

void PackConstants(Routine& r) {
    const std::uint32_t first = r.paramCount, count = static_cast<std::uint32_t>(r.constants.size());
    // Slots keep their order otherwise, so the state blocks of loops stay contiguous.
    std::vector<std::uint32_t> to(r.slotCount);
    std::vector<bool> constant(r.slotCount, false);
    for (const auto& c : r.constants) constant[c.first] = true;
    std::uint32_t next = first + count;
    for (std::uint32_t s = 0; s < r.slotCount; ++s) to[s] = s < first ? s : constant[s] ? 0 : next++;
    for (std::uint32_t k = 0; k < count; ++k) to[r.constants[k].first] = first + k;
    auto map = [&](std::uint32_t& s) {
        if (s != kNoSlot && s < r.slotCount) s = to[s];
    };
    for (Instruction& in : r.code) {
        map(in.dst);
        if (in.op == Op::Call) continue; // a and b index the argument slots, c the routine
        map(in.a);
        map(in.b);
        if (in.op == Op::SumStart || in.op == Op::IntegrateStart) map(in.c);
    }
    for (std::uint32_t& s : r.argumentSlots) map(s);
    r.constantValues.clear();
    for (std::uint32_t k = 0; k < count; ++k) {
        r.constants[k].first = first + k;
        r.constantValues.push_back(r.constants[k].second);
    }
}

std::string_view Cursor::Peek() const {
    if (pos_ >= text_.size()) return {};
    const auto lead = static_cast<unsigned char>(text_[pos_]);
    std::size_t n = 1;
    if (lead >= 0xF0 && lead < 0xF8) n = 4;
    else if (lead >= 0xE0) n = lead < 0xF0 ? 3 : 1;
    else if (lead >= 0xC0) n = 2;
    return text_.substr(pos_, n);
}

std::string_view Cursor::ReadToken() {
    auto tokenChar = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.'; };
    const std::size_t start = pos_;
    while (pos_ < text_.size() && tokenChar(text_[pos_])) ++pos_;
    if (pos_ == start) pos_ += Peek().size();
    return text_.substr(start, pos_ - start);
}

bool In(std::string_view c, const char* set) {
    if (c.empty()) return false;
    for (const char* p = set; *p; ++p)
        if (*p == c[0]) return true;
    return false;
}

} // namespace ov::compiler
