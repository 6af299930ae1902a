#pragma once
// Small helpers for evaluating formulas in tests.

#include <string>
#include <vector>

#include "expr/FunctionListContext.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov::test {

struct Outcome {
    bool ok = false;
    double value = 0;
    std::string message;
};

inline clsFncDef Definition(const std::string& header, const std::string& body) {
    clsFncDef def;
    def.ParseName(header);
    def.Body = body;
    return def;
}

inline Outcome Run(clsFncDef& def, FunctionContext& context, const std::vector<double>& args = {},
                   bool compute = true, bool resolve = true) {
    Outcome o;
    clsError error;
    o.ok = def.Evaluate(context, args, compute, resolve, error, o.value);
    o.message = error.GetError();
    return o;
}

// Evaluates body as the body of a function F without parameters.
inline Outcome Eval(const std::string& body, FunctionList* functions = nullptr, bool compute = true) {
    FunctionListContext context;
    if (functions) context.AddList(functions);
    clsFncDef def = Definition("F", body);
    return Run(def, context, {}, compute);
}

} // namespace ov::test
