// Evaluation entry points of clsFncDef.
#include "expr/ExpressionParser.h"
#include "expr/FunctionContext.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov {

namespace {

// At most this many evaluations of one user function may be active at once.
constexpr int kMaxNesting = 100;

// The upper-case copy of a text for the parser. Formula bodies are nearly always short, and
// those are copied into a buffer on the stack rather than a new string on the heap.
class UpperText {
public:
    explicit UpperText(std::string_view text) {
        if (text.size() <= sizeof local_) {
            for (std::size_t i = 0; i < text.size(); ++i) {
                const char c = text[i];
                local_[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            }
            view_ = std::string_view(local_, text.size());
        } else {
            heap_ = ToUpperAscii(text);
            view_ = heap_;
        }
    }
    UpperText(const UpperText&) = delete;
    UpperText& operator=(const UpperText&) = delete;
    std::string_view View() const { return view_; }

private:
    char local_[128];
    std::string heap_;
    std::string_view view_;
};

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

    const UpperText buffer(Body);
    ExpressionParser parser(*this, context, error, buffer.View());
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
    const UpperText buffer(text);
    return ExpressionParser::EvaluateText(*this, context, error, buffer.View(), {compute, resolve}, result);
}

} // namespace ov
