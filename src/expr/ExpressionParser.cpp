#include "expr/ExpressionParser.h"

#include <cmath>
#include <cstdint>

#include "expr/BuiltinMath.h"
#include "expr/FunctionContext.h"
#include "expr/NestingLevels.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"
#include "io/NumberText.h"

namespace ov {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kE = 2.71828182845905;

// Whether the character c starts with is one of set.
bool In(std::string_view c, const char* set) {
    if (c.empty()) return false;
    for (const char* p = set; *p; ++p)
        if (*p == c[0]) return true;
    return false; // a NUL byte in a formula is an ordinary, unexpected character
}

const char* const kLevel3Stops = ")!&|,";
const char* const kLevel4Stops = "),<>=!&|";
const char* const kLevel5Stops = "),<>=!&|+-";
const char* const kLevel6Stops = "),<>=!&|+-*/";
const char* const kNotAnOperand = "),<>=!&|+-*/^";

bool IsTokenChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.'; }

} // namespace

const char* FaultDescription(double value) { return std::isnan(value) ? "Invalid procedure call or argument" : "Overflow"; }

ExpressionParser::ExpressionParser(clsFncDef& definition, FunctionContext& context, clsError& error,
                                   std::string_view text, ArgumentListMemo* memo)
    : def_(definition), context_(context), error_(error), text_(text), memo_(memo) {}

bool ExpressionParser::EvaluateText(clsFncDef& definition, FunctionContext& context, clsError& error,
                                    std::string_view upperText, Mode mode, double& result, ArgumentListMemo* memo) {
    ExpressionParser parser(definition, context, error, upperText, memo);
    return parser.ParseTop(result, mode);
}

void ExpressionParser::ReportTooDeep(clsError& error, std::string_view name) {
    error.SetError("Formula is nested too deeply in '" + std::string(name) + "'");
}

std::string_view ExpressionParser::ReadToken() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsTokenChar(text_[pos_])) ++pos_;
    if (pos_ == start) pos_ += Peek().size();
    return text_.substr(start, pos_ - start);
}

bool ExpressionParser::ReportFault(double value, std::string_view prefix, std::string_view name) {
    error_.SetError(std::string(prefix) + std::string(name) + "': " + FaultDescription(value));
    return false;
}

bool ExpressionParser::Tick() {
    if (!context_.TickStops()) return true;
    error_.Aborted();
    return false;
}

bool ExpressionParser::ParseTop(double& result, Mode mode) { return Logical(result, mode); }

bool ExpressionParser::Logical(double& r, Mode m) {
    if (!Negation(r, m)) return false;
    for (;;) {
        SkipBlanks();
        const std::string_view c = Peek();
        if (c.empty() || In(c, "),")) return true;
        if (c != "&" && c != "|") {
            error_.SyntaxError(def_.Name, ReadToken());
            return false;
        }
        ++pos_;
        double b = 0;
        if (!Negation(b, m)) return false;
        if (m.compute) r = c == "&" ? (r != 0 && b != 0) : (r != 0 || b != 0);
    }
}

bool ExpressionParser::Negation(double& r, Mode m) {
    SkipBlanks();
    const bool negate = Peek() == "!";
    if (negate) ++pos_;
    if (!Comparison(r, m)) return false;
    if (negate && m.compute) r = r == 0 ? 1 : 0;
    return true;
}

bool ExpressionParser::Comparison(double& r, Mode m) {
    if (!Additive(r, m)) return false;
    for (;;) {
        SkipBlanks();
        const std::string_view c = Peek();
        if (c.empty() || In(c, kLevel3Stops)) return true;
        if (!In(c, "<>=")) {
            error_.SyntaxError(def_.Name, ReadToken());
            return false;
        }
        std::string op(c);
        ++pos_;
        if (In(Peek(), "<>=")) op += text_[pos_++];
        double b = 0;
        if (!Additive(b, m)) return false;
        if (!m.compute) continue;
        bool truth;
        if (op == "<") truth = r < b;
        else if (op == ">") truth = r > b;
        else if (op == "=") truth = r == b;
        else if (op == "<=" || op == "=<") truth = r <= b;
        else if (op == ">=" || op == "=>") truth = r >= b;
        else if (op == "<>" || op == "><") truth = r != b;
        else {
            error_.SyntaxError(def_.Name, op);
            return false;
        }
        r = truth ? 1 : 0;
    }
}

bool ExpressionParser::Additive(double& r, Mode m) {
    r = 0;
    bool any = false;
    for (;;) {
        SkipBlanks();
        const std::string_view c = Peek();
        if (c.empty() || In(c, kLevel4Stops)) {
            if (any) return true;
            error_.MissingParameter(def_.Name);
            return false;
        }
        const bool subtract = c == "-";
        if (c == "+" || c == "-") ++pos_;
        double b = 0;
        if (!Multiplicative(b, m)) return false;
        any = true;
        if (!m.compute) continue;
        r = subtract ? r - b : r + b;
        if (!CheckResult(r, subtract ? "Error during subtraction in '" : "Error during addition in '", def_.Name))
            return false;
    }
}

bool ExpressionParser::Multiplicative(double& r, Mode m) {
    if (!Power(r, m)) return false;
    for (;;) {
        SkipBlanks();
        const std::string_view c = Peek();
        if (c.empty() || In(c, kLevel5Stops)) return true;
        if (c != "*" && c != "/") {
            error_.SyntaxError(def_.Name, ReadToken());
            return false;
        }
        const bool divide = c == "/";
        ++pos_;
        double b = 0;
        if (!Power(b, m)) return false;
        if (!m.compute) continue;
        if (divide && b == 0) {
            error_.DivisionByZero(def_.Name);
            return false;
        }
        r = divide ? r / b : r * b;
        if (!CheckResult(r, divide ? "Error during division in '" : "Error during multiplication in '", def_.Name))
            return false;
    }
}

bool ExpressionParser::Power(double& r, Mode m) {
    if (!Primary(r, m)) return false;
    SkipBlanks();
    const std::string_view c = Peek();
    if (c.empty() || In(c, kLevel6Stops)) return true;
    if (c != "^") {
        error_.SyntaxError(def_.Name, ReadToken());
        return false;
    }
    ++pos_;
    double exponent = 0;
    if (!Primary(exponent, m)) return false;
    if (!m.compute) return true;
    if (r == 0 && exponent < 0) {
        error_.SetError("Error evaluating function '" + def_.Name + "': Division by zero");
        return false;
    }
    r = PowerOf(r, exponent);
    return CheckResult(r, "Error evaluating function '", def_.Name);
}

bool ExpressionParser::Primary(double& r, Mode m) {
    // Every recursion of the grammar passes here, so deep nesting of parentheses, "!" or
    // calls ends with a message at the same level every time.
    const NestingLevel level(1, OV_FRAME_ADDRESS());
    if (!level.Opened()) {
        ReportTooDeep(error_, def_.Name);
        return false;
    }
    // A formula of millions of terms, with no call or loop to pace the checks, is stopped
    // by its operands: one check every million of them costs nothing.
    if ((++operands_ & 0xFFFFF) == 0 && context_.CheckAbort()) {
        error_.Aborted();
        return false;
    }
    return PrimaryInner(r, m);
}

bool ExpressionParser::PrimaryInner(double& r, Mode m) {
    SkipBlanks();
    const std::string_view c = Peek();
    if (c == "(") {
        ++pos_;
        if (!Logical(r, m)) return false;
        SkipBlanks();
        if (Peek() != ")") {
            error_.NoParenthesis(def_.Name);
            return false;
        }
        ++pos_;
        return true;
    }
    if (c == "!") return Negation(r, m);
    if (c.empty() || In(c, kNotAnOperand)) {
        error_.SyntaxError(def_.Name, ReadToken());
        return false;
    }
    const std::string_view token = ReadToken();
    if (token == "PI") {
        r = kPi;
        return true;
    }
    if (token == "E") {
        r = kE;
        return true;
    }
    if ((token[0] >= '0' && token[0] <= '9') || token[0] == '.') return Number(token, r, m);
    for (const clsArg& p : def_.Params) {
        if (NamesEqual(p.Name, token)) {
            r = p.Value;
            return true;
        }
    }
    return FunctionCall(token, r, m);
}

bool ReadFormulaNumber(std::string_view token, double& value) {
    // The longest leading part of the form digits[.digits][(E|D)digits]; the rest of the
    // token is ignored, so 2PI reads as 2.
    std::string text;
    std::size_t i = 0;
    bool point = false;
    for (; i < token.size(); ++i) {
        const char ch = token[i];
        if (ch >= '0' && ch <= '9') text.push_back(ch);
        else if (ch == '.' && !point) {
            point = true;
            text.push_back(ch);
        } else break;
    }
    if (i + 1 < token.size() && (token[i] == 'E' || token[i] == 'D') && token[i + 1] >= '0' && token[i + 1] <= '9') {
        text.push_back('e');
        for (++i; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) text.push_back(token[i]);
    }
    value = 0;
    if (text.find_first_of("0123456789") == std::string::npos) return true; // "." alone reads as 0
    return ConvertDecimal(text, value);
}

bool ExpressionParser::Number(std::string_view token, double& r, Mode m) {
    // Any token that starts with a digit or "." reads as a number, so a check has nothing to
    // look at: a value too large for a double is a fault of computing it, like 1/0, and the
    // branch of IF not taken never meets it.
    if (!m.compute || ReadFormulaNumber(token, r)) return true;
    error_.SetError("Error evaluating function '" + def_.Name + "': Overflow");
    return false;
}

bool ExpressionParser::FunctionCall(std::string_view token, double& r, Mode m) {
    const std::string name(token);
    const bool macro = LookupMacro(name) != Macro::None;
    if (memo_ && !m.resolve) {
        SkipBlanks();
        if (Peek() == "(") memo_->NoteCall(token); // as a parameter, it would meet a stray "("
    }
    ArgumentTexts texts;
    if (!ParseArgumentList(texts, {m.compute, macro ? false : m.resolve})) return false;
    if (!m.resolve) return true;
    return CallFunction(name, texts, r, m);
}

} // namespace ov
