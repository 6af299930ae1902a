#pragma once
// The two halves of the formula compiler (FormulaCompiler.h): ModuleCompiler compiles a
// definition and, one after another, every user function it reaches; UnitCompiler compiles
// one text of a body with the interpreter's grammar.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "expr/ArgumentListMemo.h"
#include "expr/Builtins.h"
#include "expr/CompilerParts.h"

namespace ov::compiler {

// Longer bodies stay with the interpreter, which paces its abort checks by operands in
// texts of a million of them; no shorter text reaches that pacing.
constexpr std::size_t kMaxBodyLength = 65536;
// Deeper grammar nesting in one body is left to the interpreter (see CompiledRunner.cpp).
// Depths count as the interpreter's nesting levels do (NestingLevels.h).
constexpr std::uint32_t kMaxGrammarDepth = 200;

// The names in scope in order, with their slots: the parameters, then the index variables
// of the macro loops being compiled, innermost last. They are kept as a definition, as the
// interpreter's scope is, so that its check of an argument list reads the same scope.
struct Scope {
    clsFncDef def;
    std::vector<std::uint32_t> slots;
};

class ModuleCompiler {
public:
    ModuleCompiler(FunctionContext& context, CompiledFormula& out) : context_(context, out), out_(out) {}

    void Build(const clsFncDef& def);
    RecordingContext& Context() { return context_; }
    // The routine of a callee found by the recording context, compiled later if new.
    std::uint32_t RoutineFor(const clsFncDef& callee);

private:
    struct Job {
        std::uint32_t index;
        const clsFncDef* def;
    };
    void CompileRoutine(std::uint32_t index, const clsFncDef& def);

    RecordingContext context_;
    CompiledFormula& out_;
    std::unordered_map<std::string, std::uint32_t> byName_; // routines by upper-case name
    std::deque<Job> pending_;
};

// Compiles one text of a body as the interpreter evaluates one text with a parser of its
// own: the body itself, an argument, a branch of IF, an expression of a macro function.
// The argument lists read in the body are kept in memo, as the interpreter keeps them.
class UnitCompiler {
public:
    UnitCompiler(ModuleCompiler& module, Builder& b, Scope& scope, std::string_view text, std::uint32_t depth,
                 ArgumentListMemo& memo)
        : module_(module), b_(b), scope_(scope), cur_(text), depth_(depth), memo_(memo) {}

    // The whole body, which must be read to its end.
    bool Body(std::uint32_t& r) {
        cur_.SkipBlanks();
        if (cur_.Peek().empty() || !Logical(r)) return false;
        cur_.SkipBlanks();
        return cur_.Peek().empty();
    }
    bool Top(std::uint32_t& r) { return Logical(r); }
    std::uint32_t MaxDepth() const { return maxDepth_; }

private:
    bool Logical(std::uint32_t& r);
    bool Negation(std::uint32_t& r);
    bool Comparison(std::uint32_t& r);
    bool Additive(std::uint32_t& r);
    bool Multiplicative(std::uint32_t& r);
    bool Power(std::uint32_t& r);
    bool Primary(std::uint32_t& r);
    bool PrimaryInner(std::uint32_t& r);
    bool Number(std::string_view token, std::uint32_t& r);
    bool FunctionCall(const std::string& name, std::uint32_t& r);
    bool ArgumentList(std::vector<std::string_view>& texts, bool resolve);
    bool TakeArgumentList(std::vector<std::string_view>& texts, bool resolve); // from memo_
    bool CheckArgument(bool resolve);
    void NoteDepth(std::uint32_t depth) {
        if (depth > maxDepth_) maxDepth_ = depth;
    }
    bool CallBuiltin(Builtin id, const std::vector<std::string_view>& texts, std::uint32_t& r);
    bool CallIf(const std::vector<std::string_view>& texts, std::uint32_t& r);
    bool CallMacro(Macro kind, const std::vector<std::string_view>& texts, std::uint32_t& r);
    void SumOrProduct(bool product, const std::string& variable, const std::vector<std::string_view>& texts,
                      std::uint32_t& r);
    void Integral(const std::string& variable, const std::vector<std::string_view>& texts, std::uint32_t& r);
    // Emits a loop of a macro whose start instruction has its bounds set: the optional step,
    // the state block of slots slots, the expression with the index variable at index, the
    // next step. Returns the state block's first slot.
    std::uint32_t Loop(Instruction start, Instruction next, std::uint32_t slots, std::uint32_t index,
                       const std::string& variable, const std::vector<std::string_view>& texts);
    bool CallUser(const std::string& name, const std::vector<std::string_view>& texts, std::uint32_t& r);
    // Compiles a text of its own; one the interpreter would refuse becomes a GiveUp.
    std::uint32_t Unit(std::string_view text);
    // The loop expression of a macro, with the index variable in scope at slot.
    std::uint32_t IndexedUnit(std::string_view text, const std::string& variable, std::uint32_t slot);

    ModuleCompiler& module_;
    Builder& b_;
    Scope& scope_;
    Cursor cur_;
    std::uint32_t depth_;
    std::uint32_t maxDepth_ = 0;
    ArgumentListMemo& memo_;
};

} // namespace ov::compiler
