// Function calls of the evaluator: argument lists, the built-ins and user functions.
#include <cmath>

#include "expr/BuiltinMath.h"
#include "expr/ExpressionParser.h"
#include "expr/FunctionContext.h"
#include "expr/Rand.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov {

bool ExpressionParser::ParseArgumentList(ArgumentTexts& texts, Mode m) {
    SkipBlanks();
    if (Peek() != "(") return true;
    const char* open = text_.data() + pos_;
    if (memo_ && TakeArgumentList(open, texts, m)) return true;
    ++pos_;
    bool afterComma = false;
    for (;;) {
        SkipBlanks();
        const std::string_view c = Peek();
        if (c == ")" && !afterComma) {
            ++pos_;
            break;
        }
        if (c.empty() || c == ")") { // end of text, or F(1,)
            error_.MissingParameter(def_.Name);
            return false;
        }
        const std::size_t start = pos_;
        double ignored = 0;
        if (!Logical(ignored, {false, m.resolve})) return false;
        texts.push_back(text_.substr(start, pos_ - start));
        SkipBlanks();
        afterComma = Peek() == ",";
        if (afterComma) ++pos_;
    }
    // Lists read inside a check are the ones met again: when the argument that holds them
    // is evaluated, or checked again by a macro function with its index variable in scope.
    if (memo_ && !m.compute) memo_->Record(open, texts, text_.data() + pos_, m.resolve, m.resolve ? Scope() : 0);
    return true;
}

bool ExpressionParser::TakeArgumentList(const char* open, ArgumentTexts& texts, Mode m) {
    const ArgumentListMemo::List* list = memo_->Find(open);
    if (!list || list->end > text_.data() + text_.size() ||
        !memo_->Usable(*list, m.resolve, m.resolve ? Scope() : 0, def_.Params))
        return false;
    for (std::size_t i = 0; i < list->count; ++i) texts.push_back(memo_->Text(list->first + i));
    pos_ = static_cast<std::size_t>(list->end - text_.data());
    return true;
}

std::size_t ExpressionParser::Scope() {
    if (scope_ == kScopeUnknown) scope_ = memo_->ScopeOf(def_.Params);
    return scope_;
}

bool ExpressionParser::CheckArgCount(std::size_t expected, std::string_view called, const ArgumentTexts& texts) {
    if (expected > 0 && texts.size() < expected) {
        error_.TooFewParams(called, def_.Name);
        return false;
    }
    if (expected > 0 && texts.size() > expected) {
        error_.TooManyParams(called, def_.Name);
        return false;
    }
    return true;
}

bool ExpressionParser::EvaluateArgs(const ArgumentTexts& texts, double* values) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        values[i] = 0;
        if (!Evaluate(texts[i], values[i])) return false;
    }
    return true;
}

bool ExpressionParser::CallFunction(const std::string& name, const ArgumentTexts& texts, double& r, Mode m) {
    const Builtin b = LookupBuiltin(name);
    if (b != Builtin::None) return CallBuiltin(b, name, texts, r, m);
    const Macro macro = LookupMacro(name);
    if (macro != Macro::None) return CallMacro(macro, name, texts, r, m);
    return CallUser(name, texts, r, m);
}

bool ExpressionParser::CallBuiltin(Builtin id, const std::string& name, const ArgumentTexts& texts, double& r,
                                   Mode m) {
    if (id == Builtin::If) {
        if (!CheckArgCount(3, name, texts)) return false;
        if (!m.compute) return true;
        double condition = 0;
        if (!Evaluate(texts[0], condition)) return false;
        return Evaluate(condition != 0 ? texts[1] : texts[2], r);
    }
    const std::size_t expected = id == Builtin::Rand && texts.empty() ? 0 : BuiltinArgCount(id);
    if (!CheckArgCount(expected, name, texts)) return false;
    if (!m.compute) return true;
    // After the count check a built-in has at most two arguments (none only for RAND).
    double values[2] = {0, 0};
    if (texts.size() > 2) {
        error_.InternalError();
        return false;
    }
    if (!EvaluateArgs(texts, values)) return false;
    if (id == Builtin::Rand) {
        r = NextRandom(!texts.empty(), values[0]);
        return true;
    }
    if (!ComputeBuiltin(id, name, values[0], values[1], r)) return false;
    return CheckResult(r, "Error evaluating function '", name);
}

bool ExpressionParser::ComputeBuiltin(Builtin id, const std::string& name, double x, double y, double& r) {
    const std::string& F = def_.Name;
    switch (ComputeBuiltinValue(id, x, y, r)) {
    case BuiltinFault::None: return true;
    case BuiltinFault::OutsideMinusOneToOne: error_.ParamOutOfRange(name, -1, 1); return false;
    case BuiltinFault::BelowOne: error_.ParamGE(name, 1); return false;
    case BuiltinFault::BelowZero: error_.ParamGE(name, 0); return false;
    case BuiltinFault::BothZero:
        error_.SetError("Both parameters of '" + name + "' cannot equal to 0 at the same time");
        return false;
    case BuiltinFault::NotInsideMinusOneToOne:
        error_.SetError("The parameter of '" + name + "' must be greater than -1 and less than 1");
        return false;
    case BuiltinFault::NotFinite: return ReportFault(r, "Error evaluating function '", name);
    case BuiltinFault::LogOfNonPositive: error_.LogNeg(F); return false;
    case BuiltinFault::LogBaseOne: error_.SetError("The base of lagorithm must not be equal to 1"); return false;
    case BuiltinFault::ModByZero: error_.DivisionByZero(name); return false;
    case BuiltinFault::SqrtOfNegative: error_.SQRNeg(F); return false;
    case BuiltinFault::Internal: break;
    }
    error_.InternalError();
    return false;
}

bool ExpressionParser::CallUser(const std::string& name, const ArgumentTexts& texts, double& r, Mode m) {
    std::unique_ptr<clsFncDef> callee = context_.FindFunction(name);
    if (!callee) {
        error_.InvalidFunction(def_.Name, name);
        return false;
    }
    if (!CheckArgCount(callee->Params.size(), name, texts)) return false;
    if (!m.compute) return true;
    std::vector<double> values(texts.size());
    if (!EvaluateArgs(texts, values.data())) return false;
    if (!Tick()) return false;
    return callee->Evaluate(context_, values, m.compute, true, error_, r);
}

} // namespace ov
