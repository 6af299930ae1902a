#pragma once
// A user-defined function: a header such as F(A, B), a body expression and a
// description. Evaluating it parses the body and computes as it goes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/StampedString.h"
#include "expr/clsArg.h"

namespace ov {

class clsError;
class clsOldStream;
class CompiledFormula;
class FunctionContext;

class clsFncDef {
public:
    clsFncDef() = default;

    // Stamped, so that a compiled form sees any change of them at once (StampedString.h).
    StampedString Name;
    std::vector<clsArg> Params;
    StampedString Body;
    std::string Description;
    std::int32_t NestCount = 0; // active evaluations of this definition

    // At most this many evaluations of one user function may be active at once.
    static constexpr int kMaxNesting = 100;

    // Evaluates the body with one value per parameter. compute off only checks the
    // syntax, the known functions and the argument counts; resolve off tolerates unknown
    // names. On failure the error sink holds the message. Computing with names resolved
    // runs a compiled form of the body, built on first use and kept while neither the
    // definition nor any definition it reaches changes; wherever that form cannot
    // continue, the interpreter evaluates instead, with the same result and message.
    bool Evaluate(FunctionContext& context, const std::vector<double>& argumentValues, bool compute,
                  bool resolve, clsError& error, double& result);
    // Evaluates a piece of text in the scope of this definition (its parameters and
    // context). The text need not be consumed completely.
    bool EvaluateText(FunctionContext& context, std::string_view text, bool compute, bool resolve,
                      clsError& error, double& result);

    std::unique_ptr<clsFncDef> Dup() const { return std::make_unique<clsFncDef>(*this); }
    clsFncHeader GetFncHeader() const;
    void CopyAssign(const clsFncDef& source) { *this = source; }
    // Sets Name and the parameters from a header text: "F", "F(A, B)". False when the
    // header is not valid; the name and the parameters read so far are kept.
    bool ParseName(std::string_view headerText);
    std::string GetNameArgs() const;
    std::string GetNameVals() const;
    void ReadData(clsOldStream& stream);
    void WriteData(clsOldStream& stream) const;

    // A letter A-Z (either case), then letters and digits.
    static bool IsValidName(std::string_view name);

private:
    // The interpreter: reads the body and computes as it goes. It is the reference that
    // the compiled form follows.
    bool Interpret(FunctionContext& context, const std::vector<double>& argumentValues, bool compute, bool resolve,
                   clsError& error, double& result);
    // The compiled ways, each falling back to the interpreter where it cannot go on.
    // EvaluateCompiled compiles first if the compiled form is missing or out of date;
    // EvaluatePlain runs a form whose entry routine is plain (PlainRunner.cpp), in a frame
    // of its own, or leaves it to EvaluateGeneral, which runs any form in RunCompiled.
    bool EvaluateCompiled(FunctionContext& context, const std::vector<double>& argumentValues, clsError& error,
                          double& result);
    bool EvaluatePlain(FunctionContext& context, const std::vector<double>& argumentValues, clsError& error,
                       double& result);
    bool EvaluateGeneral(FunctionContext& context, const std::vector<double>& argumentValues, clsError& error,
                         double& result);

    std::shared_ptr<const CompiledFormula> compiled_; // shared by copies: it is never changed
};

// While one exists, evaluations on this thread use the interpreter alone; the interpreter
// sets one around its own work, and comparisons of the two ways use it too.
class InterpreterOnly {
public:
    InterpreterOnly();
    ~InterpreterOnly();
    InterpreterOnly(const InterpreterOnly&) = delete;
    InterpreterOnly& operator=(const InterpreterOnly&) = delete;
    static bool Active();
};

// Case-insensitive comparison of ASCII names.
bool NamesEqual(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view text);

} // namespace ov
