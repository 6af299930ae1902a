// Evaluation entry points of clsFncDef.
#include "expr/CompiledFormula.h"
#include "expr/CompiledRunner.h"
#include "expr/ExpressionParser.h"
#include "expr/FormulaCompiler.h"
#include "expr/FunctionContext.h"
#include "expr/FunctionIndex.h"
#include "expr/NestingLevels.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov {

namespace {

thread_local int interpreterOnly = 0; // InterpreterOnly objects alive on this thread

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

InterpreterOnly::InterpreterOnly() { ++interpreterOnly; }
InterpreterOnly::~InterpreterOnly() { --interpreterOnly; }
bool InterpreterOnly::Active() { return interpreterOnly > 0; }

bool clsFncDef::Evaluate(FunctionContext& context, const std::vector<double>& argumentValues, bool compute,
                         bool resolve, clsError& error, double& result) {
    // Checking and the lenient mode stay with the interpreter, and so does everything an
    // interpreter evaluation calls: it is the fallback, and gives the messages. The way of
    // nearly every evaluation goes on in EvaluatePlain without a frame of this function.
    if (compute && resolve && !InterpreterOnly::Active()) {
        if (compiled_ && compiled_->routines.front().plain && compiled_->Matches(*this, context))
            return EvaluatePlain(context, argumentValues, error, result);
        return EvaluateCompiled(context, argumentValues, error, result);
    }
    return Interpret(context, argumentValues, compute, resolve, error, result);
}

bool clsFncDef::EvaluateCompiled(FunctionContext& context, const std::vector<double>& argumentValues,
                                 clsError& error, double& result) {
    const LookupEpoch lookups;
    if (!compiled_ || !compiled_->Matches(*this, context)) compiled_ = CompileFormula(*this, context);
    if (compiled_->aborted) {
        compiled_.reset();
        error.Aborted();
        return false;
    }
    if (compiled_->routines.front().plain) return EvaluatePlain(context, argumentValues, error, result);
    return EvaluateGeneral(context, argumentValues, error, result);
}

bool clsFncDef::EvaluateGeneral(FunctionContext& context, const std::vector<double>& argumentValues,
                                clsError& error, double& result) {
    const std::uint64_t ticks = context.Ticks;
    switch (RunCompiled(*compiled_, *this, context, argumentValues, error, result)) {
    case CompiledOutcome::Done: return true;
    case CompiledOutcome::Aborted: return false;
    case CompiledOutcome::GiveUp: break;
    }
    // The interpreter repeats the work from the start: it counts the same ticks again and
    // skips the questions that were already answered.
    if (context.Ticks > context.AnsweredTicks) context.AnsweredTicks = context.Ticks;
    context.Ticks = ticks;
    return Interpret(context, argumentValues, true, true, error, result);
}

bool clsFncDef::Interpret(FunctionContext& context, const std::vector<double>& argumentValues, bool compute,
                          bool resolve, clsError& error, double& result) {
    const InterpreterOnly interpreting;
    const LookupEpoch lookups;
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
    // A call takes a level of its own: its frames hold more than a parenthesis does.
    const NestingLevel level(1, OV_FRAME_ADDRESS());
    if (!level.Opened()) {
        ExpressionParser::ReportTooDeep(error, Name);
        context.NestFunction(Name, -1);
        return false;
    }
    for (std::size_t i = 0; i < Params.size(); ++i) Params[i].Value = argumentValues[i];

    const UpperText buffer(Body);
    ArgumentListMemo memo(Params.size());
    ExpressionParser parser(*this, context, error, buffer.View(), &memo);
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
    const InterpreterOnly interpreting;
    const LookupEpoch lookups;
    const UpperText buffer(text);
    ArgumentListMemo memo(Params.size());
    return ExpressionParser::EvaluateText(*this, context, error, buffer.View(), {compute, resolve}, result, &memo);
}

} // namespace ov
