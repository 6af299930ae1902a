#include "expr/FormulaCompiler.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "expr/CompilerParts.h"
#include "expr/ExpressionParser.h"
#include "expr/StackRoom.h"
#include "expr/clsError.h"
#include "io/NumberText.h"

namespace ov {

namespace {

using compiler::Builder;
using compiler::Cursor;
using compiler::In;
using compiler::RecordingContext;

constexpr double kPi = 3.14159265358979;
constexpr double kE = 2.71828182845905;
const char* const kLevel3Stops = ")!&|,";
const char* const kLevel4Stops = "),<>=!&|";
const char* const kLevel5Stops = "),<>=!&|+-";
const char* const kLevel6Stops = "),<>=!&|+-*/";
const char* const kNotAnOperand = "),<>=!&|+-*/^";

// Longer bodies stay with the interpreter, which paces its abort checks by operands in
// texts of a million of them; no shorter text reaches that pacing.
constexpr std::size_t kMaxBodyLength = 65536;
// Deeper grammar nesting in one body is left to the interpreter (see CompiledRunner.cpp).
constexpr std::uint32_t kMaxGrammarDepth = 200;

// The names in scope in order, with their slots: the parameters, then the index variables
// of the macro loops being compiled, innermost last. They are kept as a definition, as the
// interpreter's scope is, so that its check of an argument list reads the same scope.
struct Scope {
    clsFncDef def;
    std::vector<std::uint32_t> slots;
};

class ModuleCompiler;

// Compiles one text of a body as the interpreter evaluates one text with a parser of its
// own: the body itself, an argument, a branch of IF, an expression of a macro function.
class UnitCompiler {
public:
    UnitCompiler(ModuleCompiler& module, Builder& b, Scope& scope, std::string_view text, std::uint32_t depth)
        : module_(module), b_(b), scope_(scope), cur_(text), depth_(depth) {}

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
    bool CheckArgument(bool resolve);
    bool CallBuiltin(Builtin id, const std::vector<std::string_view>& texts, std::uint32_t& r);
    bool CallIf(const std::vector<std::string_view>& texts, std::uint32_t& r);
    bool CallMacro(Macro kind, const std::vector<std::string_view>& texts, std::uint32_t& r);
    void SumOrProduct(bool product, const std::string& variable, const std::vector<std::string_view>& texts,
                      std::uint32_t& r);
    void Integral(const std::string& variable, const std::vector<std::string_view>& texts, std::uint32_t& r);
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
};

class ModuleCompiler {
public:
    ModuleCompiler(FunctionContext& context, CompiledFormula& out) : context_(context, out), out_(out) {}

    void Build(const clsFncDef& def) {
        out_.entry = DefinitionSnapshot::Of(&def);
        out_.routines.reserve(4);
        out_.routines.emplace_back();
        pending_.push_back({0, &def});
        // Callees are compiled one after another, not inside their callers, so that a long
        // chain of calls costs no stack here.
        while (!pending_.empty()) {
            const Job job = pending_.front();
            pending_.pop_front();
            CompileRoutine(job.index, *job.def);
        }
    }
    RecordingContext& Context() { return context_; }
    std::uint32_t RoutineFor(const clsFncDef& callee) {
        const std::string key = ToUpperAscii(callee.Name);
        for (const auto& [name, index] : byName_)
            if (name == key) return index;
        const auto index = static_cast<std::uint32_t>(out_.routines.size());
        out_.routines.emplace_back();
        byName_.emplace_back(key, index);
        pending_.push_back({index, &callee}); // kept by the recording context
        return index;
    }

private:
    struct Job {
        std::uint32_t index;
        const clsFncDef* def;
    };

    void CompileRoutine(std::uint32_t index, const clsFncDef& def) {
        Routine r;
        r.name = def.Name;
        r.paramCount = static_cast<std::uint32_t>(def.Params.size());
        Builder b(r);
        Scope scope;
        scope.def.Name = def.Name;
        scope.def.Params = def.Params;
        for (std::uint32_t i = 0; i < r.paramCount; ++i) scope.slots.push_back(i);
        const std::string upper = ToUpperAscii(def.Body);
        UnitCompiler unit(*this, b, scope, upper, 0);
        std::uint32_t result = 0;
        if (upper.size() <= kMaxBodyLength && unit.Body(result)) {
            Instruction ret{Op::Return};
            ret.a = result;
            b.Emit(ret);
        } else {
            b.Truncate(0);
            b.Emit({Op::GiveUp});
        }
        compiler::PackConstants(r);
        r.depth = unit.MaxDepth();
        for (const Instruction& in : r.code)
            if (in.op == Op::Call || in.op == Op::SumStart || in.op == Op::IntegrateStart) r.plain = false;
        out_.routines[index] = std::move(r);
    }

    RecordingContext context_;
    CompiledFormula& out_;
    std::vector<std::pair<std::string, std::uint32_t>> byName_;
    std::deque<Job> pending_;
};

bool UnitCompiler::Logical(std::uint32_t& r) {
    if (!Negation(r)) return false;
    for (;;) {
        cur_.SkipBlanks();
        const std::string_view c = cur_.Peek();
        if (c.empty() || In(c, "),")) return true;
        if (c != "&" && c != "|") return false;
        cur_.Advance();
        std::uint32_t b = 0;
        if (!Negation(b)) return false;
        r = b_.Binary(c == "&" ? Op::And : Op::Or, r, b);
    }
}

bool UnitCompiler::Negation(std::uint32_t& r) {
    cur_.SkipBlanks();
    const bool negate = cur_.Peek() == "!";
    if (negate) cur_.Advance();
    if (!Comparison(r)) return false;
    if (negate) r = b_.Unary(Op::Not, r);
    return true;
}

bool UnitCompiler::Comparison(std::uint32_t& r) {
    if (!Additive(r)) return false;
    for (;;) {
        cur_.SkipBlanks();
        const std::string_view c = cur_.Peek();
        if (c.empty() || In(c, kLevel3Stops)) return true;
        if (!In(c, "<>=")) return false;
        std::string op(c);
        cur_.Advance();
        if (In(cur_.Peek(), "<>=")) {
            op += cur_.Current();
            cur_.Advance();
        }
        std::uint32_t b = 0;
        if (!Additive(b)) return false;
        Op o;
        if (op == "<") o = Op::Less;
        else if (op == ">") o = Op::Greater;
        else if (op == "=") o = Op::Equal;
        else if (op == "<=" || op == "=<") o = Op::LessEqual;
        else if (op == ">=" || op == "=>") o = Op::GreaterEqual;
        else if (op == "<>" || op == "><") o = Op::NotEqual;
        else return false;
        r = b_.Binary(o, r, b);
    }
}

bool UnitCompiler::Additive(std::uint32_t& r) {
    bool any = false;
    for (;;) {
        cur_.SkipBlanks();
        const std::string_view c = cur_.Peek();
        if (c.empty() || In(c, kLevel4Stops)) return any;
        const bool subtract = c == "-";
        if (c == "+" || c == "-") cur_.Advance();
        std::uint32_t b = 0;
        if (!Multiplicative(b)) return false;
        // The interpreter's sum starts at 0, so even a single term is added to 0.
        r = any ? b_.Binary(subtract ? Op::Sub : Op::Add, r, b) : b_.Unary(subtract ? Op::ZeroSub : Op::ZeroAdd, b);
        any = true;
    }
}

bool UnitCompiler::Multiplicative(std::uint32_t& r) {
    if (!Power(r)) return false;
    for (;;) {
        cur_.SkipBlanks();
        const std::string_view c = cur_.Peek();
        if (c.empty() || In(c, kLevel5Stops)) return true;
        if (c != "*" && c != "/") return false;
        cur_.Advance();
        std::uint32_t b = 0;
        if (!Power(b)) return false;
        r = b_.Binary(c == "/" ? Op::Div : Op::Mul, r, b);
    }
}

bool UnitCompiler::Power(std::uint32_t& r) {
    if (!Primary(r)) return false;
    cur_.SkipBlanks();
    const std::string_view c = cur_.Peek();
    if (c.empty() || In(c, kLevel6Stops)) return true;
    if (c != "^") return false;
    cur_.Advance();
    std::uint32_t exponent = 0;
    if (!Primary(exponent)) return false;
    r = b_.Binary(Op::Pow, r, exponent);
    return true;
}

bool UnitCompiler::Primary(std::uint32_t& r) {
    if (depth_ >= kMaxGrammarDepth || StackRunningShort(reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0))))
        return false;
    ++depth_;
    if (depth_ > maxDepth_) maxDepth_ = depth_;
    const bool ok = PrimaryInner(r);
    --depth_;
    return ok;
}

bool UnitCompiler::PrimaryInner(std::uint32_t& r) {
    cur_.SkipBlanks();
    const std::string_view c = cur_.Peek();
    if (c == "(") {
        cur_.Advance();
        if (!Logical(r)) return false;
        cur_.SkipBlanks();
        if (cur_.Peek() != ")") return false;
        cur_.Advance();
        return true;
    }
    if (c == "!") return Negation(r);
    if (c.empty() || In(c, kNotAnOperand)) return false;
    const std::string_view token = cur_.ReadToken();
    if (token == "PI") return r = b_.Constant(kPi), true;
    if (token == "E") return r = b_.Constant(kE), true;
    if ((token[0] >= '0' && token[0] <= '9') || token[0] == '.') return Number(token, r);
    const std::vector<clsArg>& names = scope_.def.Params;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (NamesEqual(names[i].Name, token)) return r = scope_.slots[i], true;
    return FunctionCall(std::string(token), r);
}

bool UnitCompiler::Number(std::string_view token, std::uint32_t& r) {
    // As the interpreter reads it: digits[.digits][(E|D)digits], the rest ignored.
    std::string text;
    std::size_t i = 0;
    bool point = false;
    for (; i < token.size(); ++i) {
        const char ch = token[i];
        if (ch >= '0' && ch <= '9') text.push_back(ch);
        else if (ch == '.' && !point) {
            point = true;
            text.push_back(ch);
        } else break;
    }
    if (i + 1 < token.size() && (token[i] == 'E' || token[i] == 'D') && token[i + 1] >= '0' && token[i + 1] <= '9') {
        text.push_back('e');
        for (++i; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) text.push_back(token[i]);
    }
    double value = 0;
    if (text.find_first_of("0123456789") != std::string::npos && !ConvertDecimal(text, value)) return false;
    r = b_.Constant(value);
    return true;
}

bool UnitCompiler::FunctionCall(const std::string& name, std::uint32_t& r) {
    const Macro macro = LookupMacro(name);
    std::vector<std::string_view> texts;
    if (!ArgumentList(texts, macro == Macro::None)) return false;
    const Builtin builtin = LookupBuiltin(name);
    if (builtin != Builtin::None) return CallBuiltin(builtin, texts, r);
    if (macro != Macro::None) return CallMacro(macro, texts, r);
    return CallUser(name, texts, r);
}

bool UnitCompiler::ArgumentList(std::vector<std::string_view>& texts, bool resolve) {
    cur_.SkipBlanks();
    if (cur_.Peek() != "(") return true;
    cur_.Advance();
    bool afterComma = false;
    for (;;) {
        cur_.SkipBlanks();
        const std::string_view c = cur_.Peek();
        if (c == ")" && !afterComma) {
            cur_.Advance();
            return true;
        }
        if (c.empty() || c == ")") return false;
        const std::size_t start = cur_.Position();
        if (!CheckArgument(resolve)) return false;
        texts.push_back(cur_.Text().substr(start, cur_.Position() - start));
        cur_.SkipBlanks();
        afterComma = cur_.Peek() == ",";
        if (afterComma) cur_.Advance();
    }
}

// The interpreter reads an argument without computing it, with the names in scope, before
// it evaluates anything of the call; its own reading decides where the argument ends and
// whether the call fails there.
bool UnitCompiler::CheckArgument(bool resolve) {
    clsError error;
    ExpressionParser checker(scope_.def, module_.Context(), error, cur_.Text().substr(cur_.Position()));
    double ignored = 0;
    if (!checker.ParseTop(ignored, {false, resolve})) return false;
    cur_.Advance(checker.Position());
    return true;
}

std::uint32_t UnitCompiler::Unit(std::string_view text) {
    const std::size_t start = b_.Size();
    UnitCompiler unit(module_, b_, scope_, text, depth_);
    std::uint32_t r = 0;
    const bool ok = unit.Top(r);
    if (unit.MaxDepth() > maxDepth_) maxDepth_ = unit.MaxDepth();
    if (ok) return r;
    b_.Truncate(start);
    b_.Emit({Op::GiveUp});
    return b_.NewSlots(1);
}

std::uint32_t UnitCompiler::IndexedUnit(std::string_view text, const std::string& variable, std::uint32_t slot) {
    scope_.def.Params.emplace_back(variable);
    scope_.slots.push_back(slot);
    const std::uint32_t r = Unit(text);
    scope_.def.Params.pop_back();
    scope_.slots.pop_back();
    return r;
}

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
    if (kind == Macro::Integrate) Integral(variable, texts, r);
    else SumOrProduct(kind == Macro::Product, variable, texts, r);
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
    start.c = texts.size() == 5 ? Unit(texts[4]) : kNoSlot;
    start.dst = b_.NewSlots(kSumSlots);
    const std::size_t at = b_.Emit(start);
    Instruction next{Op::SumNext, product};
    next.dst = start.dst;
    next.a = IndexedUnit(texts[0], variable, start.dst + kSumIndex);
    next.target = static_cast<std::uint32_t>(at + 1);
    b_.Emit(next);
    b_.At(at).target = static_cast<std::uint32_t>(b_.Size());
    r = start.dst + kSumResult;
}

void UnitCompiler::Integral(const std::string& variable, const std::vector<std::string_view>& texts,
                            std::uint32_t& r) {
    Instruction start{Op::IntegrateStart};
    start.a = Unit(texts[2]);
    start.b = Unit(texts[3]);
    start.c = texts.size() == 5 ? Unit(texts[4]) : kNoSlot;
    start.dst = b_.NewSlots(kIntSlots);
    const std::size_t at = b_.Emit(start);
    Instruction next{Op::IntegrateNext};
    next.dst = start.dst;
    next.a = IndexedUnit(texts[0], variable, start.dst + kIntIndex);
    next.target = static_cast<std::uint32_t>(at + 1);
    b_.Emit(next);
    b_.At(at).target = static_cast<std::uint32_t>(b_.Size());
    r = start.dst + kIntResult;
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

} // namespace

std::shared_ptr<const CompiledFormula> CompileFormula(const clsFncDef& def, FunctionContext& context) {
    auto formula = std::make_shared<CompiledFormula>();
    ModuleCompiler module(context, *formula);
    module.Build(def);
    return formula;
}

} // namespace ov
