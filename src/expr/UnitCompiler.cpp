// The grammar of the formula compiler: the interpreter's levels, read in the same way
// (ExpressionParser.cpp), emitting code instead of computing.
#include <cstdint>
#include <string>
#include <vector>

#include "expr/ExpressionParser.h"
#include "expr/NestingLevels.h"
#include "expr/UnitCompiler.h"
#include "expr/clsError.h"
#include "io/NumberText.h"

namespace ov::compiler {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kE = 2.71828182845905;
const char* const kLevel3Stops = ")!&|,";
const char* const kLevel4Stops = "),<>=!&|";
const char* const kLevel5Stops = "),<>=!&|+-";
const char* const kLevel6Stops = "),<>=!&|+-*/";
const char* const kNotAnOperand = "),<>=!&|+-*/^";

} // namespace

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
    // A level of the thread's count for every step of depth_, so that a check of an argument
    // tells its depth by the count (CheckArgument).
    if (depth_ >= kMaxGrammarDepth) return false;
    const NestingLevel level(1, OV_FRAME_ADDRESS());
    if (!level.Opened()) return false;
    NoteDepth(++depth_);
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
    double value = 0;
    if (!ReadFormulaNumber(token, value)) return false; // the interpreter reports the overflow
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
    if (TakeArgumentList(texts, resolve)) return true;
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

bool UnitCompiler::TakeArgumentList(std::vector<std::string_view>& texts, bool resolve) {
    const char* open = cur_.Text().data() + cur_.Position();
    const ArgumentListMemo::List* list = memo_.Find(open);
    // The index variables in scope stay while a unit is compiled.
    if (!list || list->end > cur_.Text().data() + cur_.Text().size() ||
        !memo_.Usable(*list, resolve, resolve ? memo_.ScopeOf(scope_.def.Params) : 0, scope_.def.Params))
        return false;
    for (std::size_t i = 0; i < list->count; ++i) texts.push_back(memo_.Text(list->first + i));
    cur_.Advance(static_cast<std::size_t>(list->end - open));
    return true;
}

// The interpreter reads an argument without computing it, with the names in scope, before
// it evaluates anything of the call; its own reading decides where the argument ends and
// whether the call fails there. It goes as deep as the argument nests, also into a branch
// of IF that is never compiled, and that depth counts as the body's.
bool UnitCompiler::CheckArgument(bool resolve) {
    clsError error;
    ExpressionParser checker(scope_.def, module_.Context(), error, cur_.Text().substr(cur_.Position()), &memo_);
    const int deepestBefore = deepestNestingLevel;
    deepestNestingLevel = nestingLevels;
    double ignored = 0;
    const bool ok = checker.ParseTop(ignored, {false, resolve});
    NoteDepth(depth_ + static_cast<std::uint32_t>(deepestNestingLevel - nestingLevels));
    if (deepestBefore > deepestNestingLevel) deepestNestingLevel = deepestBefore;
    if (!ok) return false;
    cur_.Advance(checker.Position());
    return true;
}

std::uint32_t UnitCompiler::Unit(std::string_view text) {
    const std::size_t start = b_.Size();
    UnitCompiler unit(module_, b_, scope_, text, depth_, memo_);
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

} // namespace ov::compiler
