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

#include <string>
#include <string_view>
#include <vector>

#include "expr/Builtins.h"

namespace ov {

class clsError;
class clsFncDef;
class FunctionContext;

class ExpressionParser {
public:
    struct Mode {
        bool compute; // false: check syntax, known functions and argument counts only
        bool resolve; // false: tolerate unknown names
    };

    // definition supplies the scope (its Name and parameters); text is already upper case.
    ExpressionParser(clsFncDef& definition, FunctionContext& context, clsError& error, std::string_view text);

    // Parses from the current position with the top level of the grammar.
    bool ParseTop(double& result, Mode mode);
    void SkipBlanks();
    std::string_view Peek() const;
    // Reads the longest run of A-Z, 0-9 and "."; if there is none, the next character.
    std::string_view ReadToken();
    std::size_t Position() const { return pos_; }

    // Evaluates a piece of text in the scope of the definition, with a parser of its own.
    static bool EvaluateText(clsFncDef& definition, FunctionContext& context, clsError& error,
                             std::string_view upperText, Mode mode, double& result);

private:
    bool Logical(double& r, Mode m);
    bool Negation(double& r, Mode m);
    bool Comparison(double& r, Mode m);
    bool Additive(double& r, Mode m);
    bool Multiplicative(double& r, Mode m);
    bool Power(double& r, Mode m);
    bool Primary(double& r, Mode m);
    bool PrimaryInner(double& r, Mode m);
    bool Number(std::string_view token, double& r);
    bool FunctionCall(const std::string& name, double& r, Mode m);

    // Function calls (ExpressionCalls.cpp).
    bool ParseArgumentList(std::vector<std::string>& texts, Mode m);
    bool EvaluateArgs(std::size_t expected, std::string_view called, const std::vector<std::string>& texts,
                      std::vector<double>& values, Mode m);
    bool CallFunction(const std::string& name, const std::vector<std::string>& texts, double& r, Mode m);
    bool CallBuiltin(Builtin id, const std::string& name, const std::vector<std::string>& texts, double& r, Mode m);
    bool CallUser(const std::string& name, const std::vector<std::string>& texts, double& r, Mode m);

    // Macro functions (MacroFunctions.cpp).
    bool CallMacro(Macro kind, const std::string& name, const std::vector<std::string>& texts, double& r, Mode m);
    bool CheckMacro(const std::string& variable, const std::vector<std::string>& texts);
    bool RunSumOrProduct(bool product, const std::string& variable, const std::vector<std::string>& texts, double& r);
    bool RunIntegral(const std::string& variable, const std::vector<std::string>& texts, double& r);
    bool EvaluateIndexed(std::size_t slot, double value, std::string_view text, double& r);
    bool ComputeBuiltin(Builtin id, const std::string& name, double a, double b, double& r);
    bool Evaluate(std::string_view text, double& r) { return EvaluateText(def_, context_, error_, text, {true, true}, r); }

    // Arithmetic faults: a non-finite result is reported as prefix + name + "': " + what.
    bool CheckResult(double value, std::string_view prefix, std::string_view name);
    bool Tick(); // paces the abort check; false when the user stopped the evaluation

    clsFncDef& def_;
    FunctionContext& context_;
    clsError& error_;
    std::string_view text_;
    std::size_t pos_ = 0; // 0-based index of the next unread character
};

// The description of an arithmetic fault that produced value from the given operands.
const char* FaultDescription(double value);

} // namespace ov
