// SUM, PRODUCT and INTEGRATE: an expression evaluated over an index variable that is
// appended to the current function's parameters while the loop runs.
#include <cmath>

#include "expr/ExpressionParser.h"
#include "expr/FunctionContext.h"
#include "expr/NestingLevels.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"
#include "io/NumberText.h"

namespace ov {

namespace {

// Loops longer than this could never finish; their index would also stop advancing
// once it passes the range of exactly representable integers.
constexpr double kMaxIterations = 9007199254740992.0; // 2^53

const char* MacroTitle(Macro kind) {
    return kind == Macro::Sum ? "Sum" : kind == Macro::Product ? "Product" : "Integrate";
}

// Removes the temporary index parameter however the loop ends.
class IndexVariable {
public:
    IndexVariable(std::vector<clsArg>& params, const std::string& name) : params_(params), slot_(params.size()) {
        params_.emplace_back(name);
    }
    ~IndexVariable() { params_.resize(slot_); }
    IndexVariable(const IndexVariable&) = delete;
    IndexVariable& operator=(const IndexVariable&) = delete;
    std::size_t Slot() const { return slot_; }

private:
    std::vector<clsArg>& params_;
    std::size_t slot_;
};

} // namespace

bool ExpressionParser::CallMacro(Macro kind, const std::string& name, const ArgumentTexts& texts, double& r,
                                 Mode m) {
    if (texts.size() != 4 && texts.size() != 5) return CheckArgCount(4, name, texts);
    // A level more than a parenthesis: reading or looping over an argument takes more stack.
    const NestingLevel level(1, OV_FRAME_ADDRESS());
    if (!level.Opened()) {
        ReportTooDeep(error_, def_.Name);
        return false;
    }
    // The argument text keeps the blanks before a following comma, and a name cannot
    // hold a blank: "I " is refused rather than read as I.
    const std::string variable(texts[1]);
    bool valid = clsFncDef::IsValidName(variable) && variable != "E" && variable != "PI";
    for (const clsArg& p : def_.Params) valid = valid && !NamesEqual(p.Name, variable);
    if (!valid) {
        error_.SetError("Invalid index variable name '" + variable + "' of function '" + MacroTitle(kind) + "' in '" +
                        def_.Name + "'");
        return false;
    }
    if (!m.compute) return CheckMacro(variable, texts);
    if (kind == Macro::Integrate) return RunIntegral(variable, texts, r);
    return RunSumOrProduct(kind == Macro::Product, variable, texts, r);
}

bool ExpressionParser::CheckMacro(const std::string& variable, const ArgumentTexts& texts) {
    IndexVariable index(def_.Params, variable);
    for (std::size_t i : {std::size_t{0}, std::size_t{2}, std::size_t{3}, std::size_t{4}}) {
        if (i >= texts.size()) break;
        double ignored = 0;
        if (!EvaluateText(def_, context_, error_, texts[i], {false, true}, ignored, memo_)) return false;
    }
    return true;
}

bool ExpressionParser::EvaluateIndexed(std::size_t slot, double value, std::string_view text, double& r) {
    if (!Tick()) return false;
    def_.Params[slot].Value = value;
    return Evaluate(text, r);
}

bool ExpressionParser::RunSumOrProduct(bool product, const std::string& variable, const ArgumentTexts& texts,
                                       double& r) {
    const std::string title = product ? "Product" : "Sum";
    auto integral = [](double v) { return v == std::trunc(v); };
    double from = 0, to = 0, step = 1;
    if (!Evaluate(texts[2], from)) return false;
    if (!integral(from)) {
        error_.SetError("The start index value of '" + title + "' must be an integer. Value specified = " +
                        GeneralNumberText(from));
        return false;
    }
    if (!Evaluate(texts[3], to)) return false;
    if (!integral(to)) {
        error_.SetError("The ending index value of '" + title + "' must be an integer. Value specified = " +
                        GeneralNumberText(to));
        return false;
    }
    if (texts.size() == 5 && !Evaluate(texts[4], step)) return false;
    if (!integral(step) || step <= 0) {
        error_.SetError("The step value of '" + title + "' must be a positive integer. Value specified = " +
                        GeneralNumberText(step));
        return false;
    }
    if (from > to) step = -step;

    const double count = std::floor((to - from) / step) + 1;
    if (!(count <= kMaxIterations)) {
        error_.SetError("Error evaluating function '" + title + "': Overflow");
        return false;
    }
    IndexVariable index(def_.Params, variable);
    r = product ? 1 : 0;
    for (double k = 0; k < count; ++k) {
        double v = 0;
        if (!EvaluateIndexed(index.Slot(), from + k * step, texts[0], v)) return false;
        r = product ? r * v : r + v;
        if (!CheckResult(r, "Error evaluating function '", title)) return false;
    }
    return true;
}

bool ExpressionParser::RunIntegral(const std::string& variable, const ArgumentTexts& texts, double& r) {
    double a = 0, b = 0;
    if (!Evaluate(texts[2], a) || !Evaluate(texts[3], b)) return false;
    double sign = 1;
    if (b < a) {
        std::swap(a, b);
        sign = -1;
    }
    double h0 = (b - a) / 100;
    if (texts.size() == 5 && !Evaluate(texts[4], h0)) return false;
    r = 0;
    if (a == b) return true;
    if (!(h0 > 0)) {
        error_.SetError("The step value of 'Integrate' must be greater than 0. Value specified = " +
                        GeneralNumberText(h0));
        return false;
    }
    double n = std::trunc((b - a) / (2 * h0) + 0.5);
    if (n <= 2) n = 50;
    if (!(n <= kMaxIterations / 2)) {
        error_.SetError("Error evaluating function 'Integrate': Overflow");
        return false;
    }
    const double h = (b - a) / (2 * n);
    if (!CheckResult(h, "Error evaluating function '", "Integrate")) return false;

    IndexVariable index(def_.Params, variable);
    double fa = 0, fb = 0, odd = 0, even = 0, v = 0;
    if (!EvaluateIndexed(index.Slot(), a, texts[0], fa) || !EvaluateIndexed(index.Slot(), b, texts[0], fb))
        return false;
    for (double k = 1; k <= n; ++k) {
        if (!EvaluateIndexed(index.Slot(), a + (2 * k - 1) * h, texts[0], v)) return false;
        odd += v;
    }
    for (double k = 1; k <= n - 1; ++k) {
        if (!EvaluateIndexed(index.Slot(), a + 2 * k * h, texts[0], v)) return false;
        even += v;
    }
    r = ((fa + fb) + 4 * odd + 2 * even) * sign * h / 3;
    return CheckResult(r, "Error evaluating function '", "Integrate");
}

} // namespace ov
