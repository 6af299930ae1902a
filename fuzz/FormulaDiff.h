#pragma once
// The differential check of the formula evaluator: every evaluation is made twice, once by
// the interpreter alone and once the ordinary way (the compiled form, falling back to the
// interpreter), and the two must agree bit for bit: success, value, message, the parameter
// values left behind, the nesting counters, the ticks counted, the abort questions asked
// and the state of RAND's generator. CheckInput returns "" or the first difference.
//
// The input has the layout of the formula fuzzer (FormulaChecks.h): body, function-list
// text, header and argument values, separated by NUL bytes. The body is evaluated in all
// four modes, with two sets of argument values, twice (the second time from the kept
// compiled form), with EvaluateText, and again after each listed definition has been
// edited, which must reach the kept compiled form of a caller.

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FormulaChecks.h"
#include "expr/FunctionListContext.h"
#include "expr/Rand.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

namespace ov::formula_diff {

using formula_checks::Quote;

// Says yes to the abort question after a fixed number of them: whether an evaluation is
// stopped depends on its work alone, never on the clock.
class CountingContext : public FunctionListContext {
public:
    CountingContext(FunctionList& list, int last) : FunctionListContext({&list}), last_(last) {}
    bool CheckAbort() override { return ++asked >= last_; }
    int asked = 0;

private:
    int last_;
};

struct Result {
    bool ok = false;
    double value = 0;
    std::string message;
    std::uint64_t ticks = 0;
    int asked = 0;
    double randomLast = 0, randomNext = 0;
    std::vector<double> params;
    std::string counters; // names of listed definitions whose nesting counter is not 0
};

enum class Way { Interpreter, Compiled };

inline Result Evaluate(FunctionList& list, clsFncDef& def, const std::vector<double>* values, std::string_view text,
                       bool compute, bool resolve, Way way) {
    NextRandom(true, -1);
    CountingContext context(list, 24);
    std::optional<InterpreterOnly> only;
    if (way == Way::Interpreter) only.emplace();
    clsError error;
    Result r;
    r.ok = values ? def.Evaluate(context, *values, compute, resolve, error, r.value)
                  : def.EvaluateText(context, text, compute, resolve, error, r.value);
    if (!r.ok || !compute) r.value = 0; // a value is only defined for a computed success
    r.message = error.GetError();
    r.ticks = context.Ticks;
    r.asked = context.asked;
    r.randomLast = NextRandom(true, 0);
    r.randomNext = NextRandom(false, 0);
    for (const clsArg& p : def.Params) r.params.push_back(p.Value);
    for (const clsFncDef& d : list)
        if (d.NestCount != 0) r.counters += d.Name + " ";
    return r;
}

inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline std::string Compare(const Result& i, const Result& c, const std::string& what) {
    std::string d;
    if (i.ok != c.ok) d += " success " + std::to_string(i.ok) + "/" + std::to_string(c.ok);
    if (!SameBits(i.value, c.value)) d += " value " + std::to_string(i.value) + "/" + std::to_string(c.value);
    if (i.message != c.message) d += " message " + Quote(i.message) + "/" + Quote(c.message);
    if (i.ticks != c.ticks) d += " ticks " + std::to_string(i.ticks) + "/" + std::to_string(c.ticks);
    if (i.asked != c.asked) d += " questions " + std::to_string(i.asked) + "/" + std::to_string(c.asked);
    if (!SameBits(i.randomLast, c.randomLast) || !SameBits(i.randomNext, c.randomNext)) d += " RAND state";
    if (i.params.size() != c.params.size()) d += " parameter count";
    for (std::size_t k = 0; k < i.params.size() && k < c.params.size(); ++k)
        if (!SameBits(i.params[k], c.params[k])) d += " parameter " + std::to_string(k);
    if (!i.counters.empty() || !c.counters.empty()) d += " nesting counters left: " + i.counters + "/" + c.counters;
    return d.empty() ? "" : what + ":" + d;
}

// Evaluates in both ways and compares; the compiled way goes first, so that a compiled
// form kept from an earlier evaluation is what is tested.
inline std::string Both(FunctionList& list, clsFncDef& def, const std::vector<double>* values, std::string_view text,
                        bool compute, bool resolve, const std::string& what) {
    const Result c = Evaluate(list, def, values, text, compute, resolve, Way::Compiled);
    const Result i = Evaluate(list, def, values, text, compute, resolve, Way::Interpreter);
    return Compare(i, c, what + formula_checks::ModeText(compute, resolve));
}

// Each listed definition edited in turn: its body gains a term, or a parameter is renamed.
inline std::string CheckEdits(FunctionList& list, clsFncDef& def, const std::vector<double>& values) {
    for (std::size_t k = 0; k < list.size(); ++k) {
        const clsFncDef before = list[k];
        list[k].Body = "(" + list[k].Body + ")+1";
        std::string d = Both(list, def, &values, {}, true, true, "after editing the body of " + Quote(before.Name));
        if (d.empty() && !list[k].Params.empty()) {
            list[k].Body = before.Body;
            list[k].Params[0].Name = list[k].Params[0].Name + "Q";
            d = Both(list, def, &values, {}, true, true, "after renaming a parameter of " + Quote(before.Name));
        }
        list[k] = before;
        if (!d.empty()) return d;
    }
    return "";
}

inline std::string CheckInput(std::string_view data) {
    const formula_checks::Pieces pieces = formula_checks::Split(data);
    FunctionList list;
    formula_checks::CheckFunctionList(pieces, list); // reads the list; its own checks are the fuzzer's
    clsFncDef def;
    def.ParseName(pieces.header);
    def.Body = pieces.body;
    std::vector<double> values;
    for (const std::string& v : pieces.values) values.push_back(ReadNumber(v));
    while (values.size() < def.Params.size()) values.push_back(1.0 + 0.5 * static_cast<double>(values.size()));
    std::vector<double> other;
    for (const double v : values) other.push_back(-v + 3);

    for (int round = 0; round < 2; ++round)
        for (const bool compute : {true, false})
            for (const bool resolve : {true, false})
                for (const std::vector<double>* args : {&values, &other})
                    if (std::string d = Both(list, def, args, {}, compute, resolve, "Evaluate"); !d.empty()) return d;
    if (values.size() == def.Params.size()) {
        for (std::size_t i = 0; i < values.size(); ++i) def.Params[i].Value = values[i];
        for (const bool compute : {true, false})
            for (const bool resolve : {true, false})
                if (std::string d = Both(list, def, nullptr, pieces.body, compute, resolve, "EvaluateText"); !d.empty())
                    return d;
    }
    return CheckEdits(list, def, values);
}

} // namespace ov::formula_diff
