#pragma once
// Properties of the formula evaluator, the header parser and the function-list reader
// that must hold for every input. The formula fuzzer runs them on generated inputs; the
// expr tests replay the inputs it once failed on. CheckInput returns "" when every
// property holds and otherwise a description of the first one that broke.
//
// Input layout: pieces separated by NUL bytes.
//   0  the formula body of the evaluated definition
//   1  function-list text; when it does not read as a file, its lines are taken as the
//      record lines of one (header and count are put in front)
//   2  the header of the evaluated definition for ParseName (default "F")
//   3+ argument values, read as numbers; missing ones are filled in
// Bytes beyond kMaxInput are ignored, so every input stays small.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "expr/FunctionListContext.h"
#include "expr/FunctionListFile.h"
#include "expr/Rand.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"
#include "io/LineList.h"
#include "io/NumberText.h"

namespace ov::formula_checks {

constexpr std::size_t kMaxInput = 4096;
// The context asks whether to stop every 1024 ticks (user calls and macro iterations);
// after this many questions the answer is yes, so runaway recursion and huge loops end.
constexpr int kMaxAbortChecks = 64;

struct Pieces {
    std::string body;
    bool hasList = false;
    std::string list;
    std::string header = "F";
    std::vector<std::string> values;
};

inline Pieces Split(std::string_view data) {
    if (data.size() > kMaxInput) data = data.substr(0, kMaxInput);
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t nul = data.find('\0', start);
        parts.emplace_back(data.substr(start, nul == std::string_view::npos ? std::string_view::npos : nul - start));
        if (nul == std::string_view::npos) break;
        start = nul + 1;
    }
    Pieces p;
    p.body = parts[0];
    if (parts.size() > 1) {
        p.hasList = true;
        p.list = parts[1];
    }
    if (parts.size() > 2) p.header = parts[2];
    for (std::size_t i = 3; i < parts.size(); ++i) p.values.push_back(parts[i]);
    return p;
}

inline std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (const unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out + "\"";
}

// A name as the header syntax defines it, written independently of the library.
inline bool IsName(std::string_view s) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (s.empty() || !letter(s[0])) return false;
    for (const char c : s)
        if (!letter(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

inline std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The persistent content of a definition (its evaluation values and counter aside).
inline bool SameDefinition(const clsFncDef& a, const clsFncDef& b) {
    if (a.Name != b.Name || a.Body != b.Body || a.Description != b.Description || a.Params.size() != b.Params.size())
        return false;
    for (std::size_t i = 0; i < a.Params.size(); ++i)
        if (a.Params[i].Name != b.Params[i].Name) return false;
    return true;
}

// ParseName: a header without "(" is taken whole; an accepted header consists of valid
// names and reads back from its GetNameArgs text unchanged.
inline std::string CheckHeader(std::string_view header) {
    clsFncDef def;
    const bool ok = def.ParseName(header);
    if (header.find('(') == std::string_view::npos) {
        if (def.Name != header || !def.Params.empty()) return "ParseName changed a header without parameters";
        if (ok != IsName(header)) return "ParseName accepted or rejected " + Quote(header) + " wrongly";
        return "";
    }
    if (!ok) return "";
    if (!IsName(def.Name) || header.back() != ')') return "ParseName accepted " + Quote(header);
    for (const clsArg& p : def.Params)
        if (!IsName(p.Name)) return "ParseName accepted the parameter " + Quote(p.Name);
    clsFncDef again;
    if (!again.ParseName(def.GetNameArgs()) || !SameDefinition(def, again))
        return "GetNameArgs of " + Quote(header) + " does not parse back to the same header";
    return "";
}

inline bool ListHasLineBreakOrSeparator(const FunctionList& list) {
    auto bad = [](const std::string& s) { return s.find_first_of(";\r\n") != std::string::npos; };
    for (const clsFncDef& def : list) {
        if (bad(def.Name) || bad(def.Body) || bad(def.Description)) return true;
        for (const clsArg& p : def.Params)
            if (bad(p.Name)) return true;
    }
    return false;
}

// Reads the list piece into list. A failed read reports one of its two messages and
// leaves the target alone; a text of record lines behind a valid header and count reads
// as that many definitions; the written text of a list reads back as the same list.
inline std::string CheckFunctionList(const Pieces& pieces, FunctionList& list) {
    list.clear();
    if (!pieces.hasList) return "";
    const std::string fileName = "input.fnl";
    FunctionList target(1);
    target[0].Name = "Untouched";
    std::string message;
    if (ParseFunctionListText(pieces.list, fileName, target, message)) {
        list = target;
    } else {
        if (message != "Invalid function list file" && message != "Error reading from file '" + fileName + "'")
            return "failed list read gave the message " + Quote(message);
        if (target.size() != 1 || target[0].Name != "Untouched") return "failed list read changed its target";
        const std::size_t lines = LineList::FromText(pieces.list).size();
        const std::string file = std::string(kFunctionListHeader) + "\r\n" + std::to_string(lines) + "\r\n" + pieces.list;
        message.clear();
        if (!ParseFunctionListText(file, fileName, list, message))
            return "record lines behind header and count did not read: " + message;
        if (list.size() != lines) return "list read gave a different number of definitions than lines";
    }
    for (const clsFncDef& def : list)
        if (def.NestCount != 0) return "a read definition has a nonzero nesting counter";

    const std::string written = FunctionListText(list);
    FunctionList back;
    message.clear();
    if (!ParseFunctionListText(written, fileName, back, message)) return "written list did not read back: " + message;
    if (back.size() != list.size()) return "written list read back with a different count";
    if (!ListHasLineBreakOrSeparator(list)) {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (!SameDefinition(list[i], back[i]))
                return "definition " + std::to_string(i) + " " + Quote(list[i].Name) + " changed in a write and read";
    }
    if (FunctionListText(back) != written) return "a list read back from its text writes a different text";
    return "";
}

struct Outcome {
    bool ok = false;
    double value = 0;
    std::string message;
    bool timedOut = false; // stopped by the time budget rather than by the tick budget
};

inline bool SameOutcome(const Outcome& a, const Outcome& b, bool compareValues) {
    if (a.ok != b.ok || a.message != b.message) return false;
    return !compareValues || !a.ok || std::memcmp(&a.value, &b.value, sizeof a.value) == 0;
}

inline std::string ModeText(bool compute, bool resolve) {
    return std::string("(compute ") + (compute ? "on" : "off") + ", resolve " + (resolve ? "on" : "off") + ")";
}

// Runs evaluations over a function list in a fresh context each and checks what every
// single evaluation must leave behind.
class Harness {
public:
    Harness(FunctionList& list, std::chrono::milliseconds budget) : list_(list), snapshot_(list), budget_(budget) {}

    std::string Evaluate(clsFncDef& def, const std::vector<double>& values, bool compute, bool resolve, Outcome& out) {
        return Run(def, compute, "Evaluate" + ModeText(compute, resolve), out,
                   [&](FunctionContext& context, clsError& error, double& r) {
                       return def.Evaluate(context, values, compute, resolve, error, r);
                   });
    }

    std::string EvaluateText(clsFncDef& def, std::string_view text, bool compute, bool resolve, Outcome& out) {
        return Run(def, compute, "EvaluateText" + ModeText(compute, resolve), out,
                   [&](FunctionContext& context, clsError& error, double& r) {
                       return def.EvaluateText(context, text, compute, resolve, error, r);
                   });
    }

private:
    template <class Call>
    std::string Run(clsFncDef& def, bool compute, const std::string& what, Outcome& out, Call call) {
        NextRandom(true, -1); // RAND starts from the same seed in every run
        FunctionListContext context({&list_});
        int checks = 0;
        bool timedOut = false;
        const auto start = std::chrono::steady_clock::now();
        context.SetAbortCheck([&] {
            if (++checks > kMaxAbortChecks) return true;
            timedOut = std::chrono::steady_clock::now() - start > budget_;
            return timedOut;
        });
        const clsFncDef before = def;
        clsError error;
        out = Outcome{};
        out.ok = call(context, error, out.value);
        out.message = error.GetError();
        out.timedOut = timedOut;

        if (out.ok && !out.message.empty()) return what + " succeeded but left the message " + Quote(out.message);
        if (!out.ok && out.message.empty()) return what + " failed without a message";
        if (out.ok && compute && !std::isfinite(out.value)) return what + " succeeded with a value that is not finite";
        if (!SameDefinition(def, before)) return what + " changed the evaluated definition (name, body or parameters)";
        if (list_.size() != snapshot_.size()) return what + " changed the size of the function list";
        for (std::size_t i = 0; i < list_.size(); ++i) {
            if (list_[i].NestCount != 0)
                return what + " left the nesting counter of " + Quote(list_[i].Name) + " at " +
                       std::to_string(list_[i].NestCount);
            if (!SameDefinition(list_[i], snapshot_[i])) return what + " changed the listed definition " + Quote(list_[i].Name);
            for (std::size_t k = 0; k < list_[i].Params.size(); ++k)
                if (list_[i].Params[k].Value != 0) return what + " set a parameter value of a listed definition";
        }
        return "";
    }

    FunctionList& list_;
    const FunctionList snapshot_;
    std::chrono::milliseconds budget_;
};

// Relations between the four modes, and between Evaluate and EvaluateText.
inline std::string CheckEvaluation(const Pieces& pieces, FunctionList& list, std::chrono::milliseconds budget) {
    clsFncDef def;
    def.ParseName(pieces.header); // an invalid header is evaluated as far as it was read
    def.Body = pieces.body;

    std::vector<double> values;
    for (const std::string& v : pieces.values) values.push_back(ReadNumber(v));
    while (values.size() < def.Params.size()) values.push_back(1.0 + 0.5 * static_cast<double>(values.size()));
    std::vector<double> otherValues;
    for (const double v : values) otherValues.push_back(-v + 3);

    Harness h(list, budget);
    Outcome run[2][2]; // [compute][resolve]
    for (const bool compute : {true, false})
        for (const bool resolve : {true, false})
            if (std::string r = h.Evaluate(def, values, compute, resolve, run[compute][resolve]); !r.empty()) return r;

    // Checking without computing never reads a value.
    for (const bool resolve : {true, false}) {
        Outcome other;
        if (std::string r = h.Evaluate(def, otherValues, false, resolve, other); !r.empty()) return r;
        if (!SameOutcome(other, run[false][resolve], false))
            return "Evaluate" + ModeText(false, resolve) + " depends on the argument values";
    }
    // Nothing of one evaluation carries over into the next.
    Outcome again;
    if (std::string r = h.Evaluate(def, values, true, true, again); !r.empty()) return r;
    if (!again.timedOut && !run[true][true].timedOut && !SameOutcome(again, run[true][true], true))
        return "Evaluate" + ModeText(true, true) + " gave a different outcome the second time";

    // The syntax-only check (compute and resolve off) is the most lenient mode: computing
    // adds arithmetic faults, resolving adds unknown names and argument counts, and both
    // follow the same parse.
    const bool lenient = run[false][false].ok;
    if (!lenient && (run[true][true].ok || run[true][false].ok || run[false][true].ok))
        return "Evaluate" + ModeText(false, false) + " failed (" + run[false][false].message +
               ") although a stricter mode succeeded";
    // Computing only adds checks, except inside macro functions: the check mode looks at
    // every argument of SUM, PRODUCT and INTEGRATE with the index variable in scope, while
    // computing evaluates from, to and step without it and skips the expression of an
    // integral over an empty interval.
    const std::string upper = Upper(pieces.body);
    const bool macros = upper.find("SUM") != std::string::npos || upper.find("PRODUCT") != std::string::npos ||
                        upper.find("INTEGRATE") != std::string::npos;
    if (!macros && run[true][true].ok && !run[false][true].ok)
        return "Evaluate" + ModeText(false, true) + " failed (" + run[false][true].message +
               ") although computing succeeded";
    if (run[true][false].ok && !run[false][false].ok) return "resolve off: computing succeeded, checking failed";

    // EvaluateText of the body with the parameters set as Evaluate sets them: whatever
    // Evaluate accepted, it accepts with the same value (it only skips the test for
    // unread text and the nesting counter of the definition itself).
    if (values.size() == def.Params.size()) {
        for (std::size_t i = 0; i < values.size(); ++i) def.Params[i].Value = values[i];
        for (const bool compute : {true, false})
            for (const bool resolve : {true, false}) {
                Outcome text;
                if (std::string r = h.EvaluateText(def, pieces.body, compute, resolve, text); !r.empty()) return r;
                const Outcome& whole = run[compute][resolve];
                if (whole.ok && !text.timedOut && !text.ok)
                    return "EvaluateText" + ModeText(compute, resolve) + " failed (" + text.message +
                           ") where Evaluate succeeded";
                if (whole.ok && text.ok && compute && std::memcmp(&whole.value, &text.value, sizeof text.value) != 0)
                    return "EvaluateText" + ModeText(compute, resolve) + " computed another value than Evaluate";
            }
    }
    return "";
}

inline std::string CheckInput(std::string_view data, std::chrono::milliseconds budget = std::chrono::milliseconds(300)) {
    const Pieces pieces = Split(data);
    if (std::string r = CheckHeader(pieces.header); !r.empty()) return r;
    FunctionList list;
    if (std::string r = CheckFunctionList(pieces, list); !r.empty()) return r;
    return CheckEvaluation(pieces, list, budget);
}

} // namespace ov::formula_checks
