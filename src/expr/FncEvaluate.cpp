// Evaluation entry points of clsFncDef.
#include "expr/ExpressionParser.h"
#include "expr/FunctionContext.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov {

namespace {

// At most this many evaluations of one user function may be active at once.
constexpr int kMaxNesting = 100;

} // namespace

bool clsFncDef::Evaluate(FunctionContext& context, const std::vector<double>& argumentValues, bool compute,
                         bool resolve, clsError& error, double& result) {
    if (argumentValues.size() < Params.size()) {
        error.TooFewParams(Name, Name);
        return false;
    }
    if (argumentValues.size() > Params.size()) {
        error.TooManyParams(Name, Name);
        return false;
    }
    if (context.NestFunction(Name, 1) > kMaxNesting) {
        error.NestDeep(Name);
        context.NestFunction(Name, -1);
        return false;
    }
    for (std::size_t i = 0; i < Params.size(); ++i) Params[i].Value = argumentValues[i];

    const std::string buffer = ToUpperAscii(Body);
    ExpressionParser parser(*this, context, error, buffer);
    bool ok = false;
    parser.SkipBlanks();
    if (parser.Peek().empty()) {
        error.MissingParameter(Name);
    } else if (parser.ParseTop(result, {compute, resolve})) {
        parser.SkipBlanks();
        ok = parser.Peek().empty();
        if (!ok) error.SyntaxError(Name, parser.Peek());
    }
    context.NestFunction(Name, -1);
    return ok;
}

bool clsFncDef::EvaluateText(FunctionContext& context, std::string_view text, bool compute, bool resolve,
                             clsError& error, double& result) {
    const std::string buffer = ToUpperAscii(text);
    return ExpressionParser::EvaluateText(*this, context, error, buffer, {compute, resolve}, result);
}

} // namespace ov
