// Function calls of the evaluator: argument lists, the built-ins and user functions.
#include <cmath>

#include "expr/ExpressionParser.h"
#include "expr/FunctionContext.h"
#include "expr/Rand.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kTwoPi = 6.28318530717958;

double Sign(double x) { return x > 0 ? 1 : x < 0 ? -1 : 0; }

} // namespace

bool ExpressionParser::ParseArgumentList(ArgumentTexts& texts, Mode m) {
    SkipBlanks();
    if (Peek() != "(") return true;
    ++pos_;
    bool afterComma = false;
    for (;;) {
        SkipBlanks();
        const std::string_view c = Peek();
        if (c == ")" && !afterComma) {
            ++pos_;
            return true;
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
    switch (id) {
    case Builtin::Abs: r = std::fabs(x); return true;
    case Builtin::ArcCos:
        if (x < -1 || x > 1) return error_.ParamOutOfRange(name, -1, 1), false;
        r = x == -1 ? kPi : x == 1 ? 0 : kPi / 2 - std::atan(x / std::sqrt(1 - x * x));
        return true;
    case Builtin::ArcCosH:
        if (x < 1) return error_.ParamGE(name, 1), false;
        r = std::log(x + std::sqrt(x * x - 1));
        return true;
    case Builtin::ArcSin:
        if (x < -1 || x > 1) return error_.ParamOutOfRange(name, -1, 1), false;
        r = x == -1 ? -kPi / 2 : x == 1 ? kPi / 2 : std::atan(x / std::sqrt(1 - x * x));
        return true;
    case Builtin::ArcSinH: r = std::log(x + std::sqrt(x * x + 1)); return true;
    case Builtin::ArcTan: r = std::atan(x); return true;
    case Builtin::ArcTan2: { // arguments (y, x); the angle of (x, y) in [0, 2 pi)
        const double py = x, px = y;
        if (px == 0 && py == 0) {
            error_.SetError("Both parameters of '" + name + "' cannot equal to 0 at the same time");
            return false;
        }
        r = px > 0 ? std::atan(py / px) : px < 0 ? std::atan(py / px) + kPi : Sign(py) * kPi / 2;
        if (r < 0) r += kTwoPi;
        return true;
    }
    case Builtin::ArcTanH:
        if (x <= -1 || x >= 1) {
            error_.SetError("The parameter of '" + name + "' must be greater than -1 and less than 1");
            return false;
        }
        r = std::log((x + 1) / (1 - x)) / 2;
        return true;
    case Builtin::Ceil: r = std::floor(x + 1); return true;
    case Builtin::Cos: r = std::cos(x); return true;
    case Builtin::CosH: {
        const double ex = std::exp(x), emx = std::exp(-x);
        if (!CheckResult(ex, "Error evaluating function '", name) || !CheckResult(emx, "Error evaluating function '", name))
            return false;
        r = (ex + emx) / 2;
        return true;
    }
    case Builtin::Degrees: r = x * 180 / kPi; return true;
    case Builtin::Exp: r = std::exp(x); return true;
    case Builtin::Fact: {
        if (x < 0) return error_.ParamGE(name, 0), false;
        const double n = std::trunc(x);
        r = 1;
        for (double k = 2; k <= n; ++k) {
            r *= k;
            if (!std::isfinite(r)) break; // reported as an overflow by the caller
        }
        return true;
    }
    case Builtin::Fix: r = std::trunc(x); return true;
    case Builtin::Floor: r = std::floor(x); return true;
    case Builtin::Frac: r = x - std::trunc(x); return true;
    case Builtin::Ln:
        if (x <= 0) return error_.LogNeg(F), false;
        r = std::log(x);
        return true;
    case Builtin::Log:
        if (x <= 0 || y <= 0) return error_.LogNeg(F), false;
        if (y == 1) {
            error_.SetError("The base of lagorithm must not be equal to 1");
            return false;
        }
        r = std::log(x) / std::log(y);
        return true;
    case Builtin::Log10:
        if (x <= 0) return error_.LogNeg(F), false;
        r = std::log(x) / std::log(10.0);
        return true;
    case Builtin::Max: r = y > x ? y : x; return true;
    case Builtin::Min: r = y < x ? y : x; return true;
    case Builtin::Mod:
        if (y == 0) return error_.DivisionByZero(name), false;
        r = x - std::trunc(x / y) * y;
        return true;
    case Builtin::Radians: r = x * kPi / 180; return true;
    case Builtin::Sign: r = Sign(x); return true;
    case Builtin::Sin: r = std::sin(x); return true;
    case Builtin::SinH: {
        const double ex = std::exp(x), emx = std::exp(-x);
        if (!CheckResult(ex, "Error evaluating function '", name) || !CheckResult(emx, "Error evaluating function '", name))
            return false;
        r = (ex - emx) / 2;
        return true;
    }
    case Builtin::Sqrt:
        if (x < 0) return error_.SQRNeg(F), false;
        r = std::sqrt(x);
        return true;
    case Builtin::Tan: r = std::tan(x); return true;
    case Builtin::TanH: {
        const double ex = std::exp(x), emx = std::exp(-x);
        if (!CheckResult(ex, "Error evaluating function '", name) || !CheckResult(emx, "Error evaluating function '", name))
            return false;
        r = (ex - emx) / (ex + emx);
        return true;
    }
    case Builtin::If:
    case Builtin::Rand:
    case Builtin::None: break;
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
