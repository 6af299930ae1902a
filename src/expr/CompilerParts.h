#pragma once
// The pieces of the formula compiler: the context that records what it looks up, the
// builder of a routine's code, and the reading position in a formula text.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "expr/CompiledFormula.h"
#include "expr/FunctionContext.h"
#include "expr/clsFncDef.h"

namespace ov::compiler {

// Looks user functions up in the real context and keeps every answer as a dependency of
// the compiled form, also the names that were not found.
class RecordingContext : public FunctionContext {
public:
    RecordingContext(FunctionContext& inner, CompiledFormula& out) : inner_(inner), out_(out) {}
    const clsFncDef* Lookup(std::string_view name);
    std::unique_ptr<clsFncDef> FindFunction(std::string_view name) override {
        const clsFncDef* def = Lookup(name);
        return def ? def->Dup() : nullptr;
    }
    int NestFunction(std::string_view, int) override { return 0; } // checking never nests
    bool CheckAbort() override { return inner_.CheckAbort(); }

private:
    FunctionContext& inner_;
    CompiledFormula& out_;
    std::unordered_map<std::string, std::unique_ptr<clsFncDef>> found_; // by upper-case name
};

// Appends instructions to a routine and hands out its slots; operations on constants are
// computed at once, with the runner's own arithmetic.
class Builder {
public:
    explicit Builder(Routine& r) : r_(r) {
        r_.slotCount = r.paramCount;
        r_.code.reserve(32);
    }
    std::uint32_t NewSlots(std::uint32_t n);
    std::uint32_t Constant(double value);
    std::uint32_t Binary(Op op, std::uint32_t a, std::uint32_t b);
    std::uint32_t Unary(Op op, std::uint32_t a);
    std::uint32_t CallBuiltin(Builtin id, std::uint32_t x, std::uint32_t y, std::uint32_t arity);
    bool IsConstant(std::uint32_t slot, double& value) const;
    std::size_t Emit(const Instruction& in) {
        r_.code.push_back(in);
        return r_.code.size() - 1;
    }
    Instruction& At(std::size_t index) { return r_.code[index]; }
    std::size_t Size() const { return r_.code.size(); }
    void Truncate(std::size_t size) { r_.code.resize(size); }
    Routine& Target() { return r_; }

private:
    Routine& r_;
};

// Moves the constants of a finished routine to the slots right after the parameters, in
// the order of its constants list, so that a frame receives them with one copy.
// Marks the last instruction of a body with kPostReturn where it computes the result and
// nothing jumps past it.
void MarkReturn(std::vector<Instruction>& code, std::uint32_t result);
void PackConstants(Routine& r);
// Sets Instruction::form, marking the operands that the instruction before has just
// computed; after PackConstants, which renumbers the slots.
void MarkAccumulator(std::vector<Instruction>& code);

// The interpreter's reading of a text: blanks, characters (whole UTF-8 sequences), tokens.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}
    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    std::string_view Peek() const;
    std::string_view ReadToken();
    void Advance(std::size_t n = 1) { pos_ += n; }
    std::size_t Position() const { return pos_; }
    std::string_view Text() const { return text_; }
    char Current() const { return text_[pos_]; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Whether the character c starts with is one of set (the interpreter's test).
bool In(std::string_view c, const char* set);

} // namespace ov::compiler
