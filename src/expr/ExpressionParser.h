#pragma once
// The recursive-descent evaluator of formula bodies. It computes while it parses; there
// is no syntax tree. Levels, loosest binding first:
//   1 logical      & |            (left to right, both operands always evaluated)
//   2 negation     one leading !  (negates the whole comparison that follows)
//   3 comparison   < > = <= =< >= => <> ><
//   4 additive     + -            (also a sign before the first operand)
//   5 multiplicative * /
//   6 power        one ^          (does not chain; the exponent is a single primary)
//   7 primary      ( ), numbers, constants, parameters, function calls
// The text is parsed in upper case; names are case-insensitive.

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "expr/ArgumentListMemo.h"
#include "expr/Builtins.h"

namespace ov {

class clsError;
class clsFncDef;
class FunctionContext;

// The argument texts of one call: views into the text being parsed, which outlives the
// call. The first few are kept without a heap allocation, as nearly every call has no more.
class ArgumentTexts {
public:
    void push_back(std::string_view text) {
        if (size_ < kInline) inline_[size_] = text;
        else more_.push_back(text);
        ++size_;
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view operator[](std::size_t i) const { return i < kInline ? inline_[i] : more_[i - kInline]; }

private:
    static constexpr std::size_t kInline = 5; // the most a built-in or a macro function takes
    std::array<std::string_view, kInline> inline_{};
    std::vector<std::string_view> more_;
    std::size_t size_ = 0;
};

class ExpressionParser {
public:
    struct Mode {
        bool compute; // false: check syntax, known functions and argument counts only
        bool resolve; // false: tolerate unknown names
    };

    // definition supplies the scope (its Name and parameters); text is already upper case.
    // memo, if given, keeps the argument lists read in the text that this one is part of.
    ExpressionParser(clsFncDef& definition, FunctionContext& context, clsError& error, std::string_view text,
                     ArgumentListMemo* memo = nullptr);

    // Parses from the current position with the top level of the grammar.
    bool ParseTop(double& result, Mode mode);
    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    // The next character: a whole UTF-8 sequence, empty at the end of the text.
    std::string_view Peek() const {
        if (pos_ >= text_.size()) return {};
        return text_.substr(pos_, SequenceLength(static_cast<unsigned char>(text_[pos_])));
    }
    // Reads the longest run of A-Z, 0-9 and "."; if there is none, the next character.
    std::string_view ReadToken();
    std::size_t Position() const { return pos_; }

    // Evaluates a piece of text in the scope of the definition, with a parser of its own.
    static bool EvaluateText(clsFncDef& definition, FunctionContext& context, clsError& error,
                             std::string_view upperText, Mode mode, double& result,
                             ArgumentListMemo* memo = nullptr);
    // The message of a formula nested deeper than the levels allowed (NestingLevels.h).
    static void ReportTooDeep(clsError& error, std::string_view name);

private:
    bool Logical(double& r, Mode m);
    bool Negation(double& r, Mode m);
    bool Comparison(double& r, Mode m);
    bool Additive(double& r, Mode m);
    bool Multiplicative(double& r, Mode m);
    bool Power(double& r, Mode m);
    bool Primary(double& r, Mode m);
    bool PrimaryInner(double& r, Mode m);
    bool Number(std::string_view token, double& r, Mode m);
    bool FunctionCall(std::string_view token, double& r, Mode m);

    // Function calls (ExpressionCalls.cpp).
    bool ParseArgumentList(ArgumentTexts& texts, Mode m);
    bool TakeArgumentList(const char* open, ArgumentTexts& texts, Mode m); // from memo_
    // The scope of this text for memo_; the index variables in it stay while it is read.
    std::size_t Scope();
    // Reports a wrong number of arguments; expected 0 accepts any number.
    bool CheckArgCount(std::size_t expected, std::string_view called, const ArgumentTexts& texts);
    // Evaluates the arguments in order into values, which has room for all of them.
    bool EvaluateArgs(const ArgumentTexts& texts, double* values);
    bool CallFunction(const std::string& name, const ArgumentTexts& texts, double& r, Mode m);
    bool CallBuiltin(Builtin id, const std::string& name, const ArgumentTexts& texts, double& r, Mode m);
    bool CallUser(const std::string& name, const ArgumentTexts& texts, double& r, Mode m);

    // Macro functions (MacroFunctions.cpp).
    bool CallMacro(Macro kind, const std::string& name, const ArgumentTexts& texts, double& r, Mode m);
    bool CheckMacro(const std::string& variable, const ArgumentTexts& texts);
    bool RunSumOrProduct(bool product, const std::string& variable, const ArgumentTexts& texts, double& r);
    bool RunIntegral(const std::string& variable, const ArgumentTexts& texts, double& r);
    bool EvaluateIndexed(std::size_t slot, double value, std::string_view text, double& r);
    bool ComputeBuiltin(Builtin id, const std::string& name, double a, double b, double& r);
    bool Evaluate(std::string_view text, double& r) {
        return EvaluateText(def_, context_, error_, text, {true, true}, r, memo_);
    }

    // Arithmetic faults: a non-finite result is reported as prefix + name + "': " + what.
    bool CheckResult(double value, std::string_view prefix, std::string_view name) {
        return std::isfinite(value) || ReportFault(value, prefix, name);
    }
    bool ReportFault(double value, std::string_view prefix, std::string_view name); // always false
    // Bytes of the UTF-8 sequence starting with lead (1 for ASCII and stray bytes).
    static std::size_t SequenceLength(unsigned char lead) {
        if (lead >= 0xF0 && lead < 0xF8) return 4;
        if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
        if (lead >= 0xC0) return 2;
        return 1;
    }
    bool Tick(); // paces the abort check; false when the user stopped the evaluation

    clsFncDef& def_;
    FunctionContext& context_;
    clsError& error_;
    std::string_view text_;
    ArgumentListMemo* memo_;
    static constexpr std::size_t kScopeUnknown = ~std::size_t{0};
    std::size_t scope_ = kScopeUnknown;
    std::size_t pos_ = 0; // 0-based index of the next unread character
    std::uint32_t operands_ = 0; // operands read, to pace abort checks in very long formulas
};

// The number a token starting with a digit or "." stands for, as formulas read it; false
// when it is too large for a double. The interpreter and the compiler both read numbers so.
bool ReadFormulaNumber(std::string_view token, double& value);

// The description of an arithmetic fault that produced value from the given operands.
const char* FaultDescription(double value);

} // namespace ov
