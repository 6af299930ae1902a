#pragma once
// Small helpers for evaluating formulas in tests.

#include <gtest/gtest.h>

#include "expr/FunctionListContext.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov::test {

struct Outcome { bool ok = false; double value = 0; std::string message; };

inline clsFncDef Definition(const std::string& header, const std::string& body) {
    clsFncDef def;
    def.ParseName(header), def.Body = body;
    return def;
}

inline Outcome Apply(clsFncDef& def, FunctionContext& context, const std::vector<double>& args = {},
                   bool compute = true) {
    Outcome o;
    clsError error;
    o.ok = def.Evaluate(context, args, compute, true, error, o.value);
    return {o.ok, o.value, error.GetError()};
}

// Evaluates body as the body of a function F without parameters.
inline Outcome Eval(const std::string& body, FunctionList* functions = nullptr, bool compute = true) {
    FunctionListContext context;
    if (functions) context.AddList(functions);
    clsFncDef def = Definition("F", body);
    return Apply(def, context, {}, compute);
}

// Says yes to the given question whether to stop (one comes every 1024 ticks).
class StopAfter : public FunctionListContext {
public:
    StopAfter(std::vector<FunctionList*> lists, int last) : FunctionListContext(std::move(lists)), last(last) {}
    bool CheckAbort() override { return ++asked >= last; }
    int asked = 0, last;
};

// The messages that name a function, as the evaluator words them.
inline std::string Count(const char* few, const std::string& f, const std::string& from = "F") {
    return std::string("Too ") + few + " parameters in call to function '" + f + "' from '" + from + "'";
}
inline std::string Fault(const std::string& f, const char* what = "Overflow") {
    return "Error evaluating function '" + f + "': " + what;
}
inline std::string Syntax(const std::string& what) { return "Syntax error at character '" + what + "' in 'F'"; }

struct ErrorCase { std::string body, message; };

inline void ExpectErrors(const std::vector<ErrorCase>& cases, FunctionList* functions = nullptr,
                         bool compute = true) {
    for (const ErrorCase& c : cases) {
        const Outcome o = Eval(c.body, functions, compute);
        EXPECT_FALSE(o.ok) << c.body << " gave " << o.value;
        EXPECT_EQ(o.message, c.message) << c.body;
    }
}

} // namespace ov::test
