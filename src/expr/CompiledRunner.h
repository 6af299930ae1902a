#pragma once
// Runs a compiled formula (see CompiledFormula.h).

#include <vector>

namespace ov {

class clsError;
class clsFncDef;
class CompiledFormula;
class FunctionContext;

enum class CompiledOutcome {
    Done,    // result holds the value the interpreter would have computed
    Aborted, // CheckAbort stopped it; error holds the interpreter's message for that
    GiveUp   // the interpreter must evaluate; nothing has changed but the tick count
};

// Evaluates def, whose compiled form formula is, with the argument values, as
// clsFncDef::Evaluate computes (compute and resolve on).
CompiledOutcome RunCompiled(const CompiledFormula& formula, clsFncDef& def, FunctionContext& context,
                            const std::vector<double>& argumentValues, clsError& error, double& result);

} // namespace ov
