#pragma once
// Generated inputs for the differential check (FormulaDiff.h), in the formula fuzzer's
// layout: random token strings, and random well-formed formulas with built-ins, IF, the
// macro functions, user functions of several parameters called with right and wrong
// argument counts, recursion, long bodies and RAND.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ov::formula_gen {

class Generator {
public:
    explicit Generator(std::uint64_t seed) : rng_(seed) {}

    // One input: body, list, header and values, separated by NUL bytes.
    std::string Input() {
        functions_.clear();
        const int count = Pick(5);
        for (int k = 0; k < count; ++k) functions_.push_back({"F" + std::to_string(k + 1), Pick(4)});
        std::vector<std::string> params = {"T", "U"};
        if (Pick(2) == 0) params.resize(Pick(3));
        std::string body = Pick(20) == 0 ? Tokens() : Expr(params, 0);
        std::string list;
        for (const Function& f : functions_) list += Record(f);
        std::string header = "F";
        if (!params.empty()) header += "(" + Join(params) + ")";
        std::string input = body + '\0' + list + '\0' + header;
        const int values = static_cast<int>(params.size()) + (Pick(8) == 0 ? 1 : 0);
        for (int k = 0; k < values; ++k) input += '\0' + Number();
        return input;
    }

private:
    struct Function {
        std::string name;
        int params;
    };

    int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <class T> const T& OneOf(const std::vector<T>& v) { return v[static_cast<std::size_t>(Pick(static_cast<int>(v.size())))]; }

    static std::string Join(const std::vector<std::string>& parts) {
        std::string s;
        for (std::size_t i = 0; i < parts.size(); ++i) s += (i ? "," : "") + parts[i];
        return s;
    }

    std::string Record(const Function& f) {
        std::vector<std::string> params;
        for (int k = 0; k < f.params; ++k) params.push_back(std::string(1, static_cast<char>('A' + k)));
        std::string body;
        const int shape = Pick(4);
        if (shape == 0 && f.params > 0) // bounded recursion
            body = "IF(A<=0," + Expr(params, 2) + "," + Expr(params, 2) + "+" + f.name + "(A-1" +
                   Rest(f.params) + "))";
        else
            body = Expr(params, 1);
        std::string record = f.name + ";" + std::to_string(f.params) + ";";
        for (const std::string& p : params) record += p + ";";
        return record + body + ";desc\r\n";
    }
    std::string Rest(int params) {
        std::string s;
        for (int k = 1; k < params; ++k) s += "," + std::string(1, static_cast<char>('A' + k));
        return s;
    }

    std::string Number() {
        static const std::vector<std::string> special = {"0", "1", "2", "-1", "0.5", "1E300", "1E-300", "3.25", "1D2",
                                                         ".", "1E400", "10", "1000000", "-0", "7"};
        if (Pick(2) == 0) return OneOf(special);
        return std::to_string(Pick(2001) - 1000) + (Pick(2) ? "." + std::to_string(Pick(1000)) : "");
    }

    // A number as a formula writes it: no sign, now and then an unusual form.
    std::string Literal() {
        static const std::vector<std::string> special = {"0", "1E300", "1E-300", "1D2", ".", "1E400", "2.5E1", "0.0"};
        if (Pick(12) == 0) return OneOf(special);
        return std::to_string(Pick(10)) + (Pick(4) == 0 ? "." + std::to_string(Pick(100)) : "");
    }

    std::string Blank() { return Pick(6) == 0 ? " " : ""; }

    std::string Expr(std::vector<std::string>& scope, int depth) {
        // The top of a body is always an operation; deep down, leaves take over.
        const int choice = depth > 4 ? Pick(2) : depth <= 1 ? 2 + Pick(16) : Pick(30);
        switch (choice) {
        case 0: return Literal();
        case 1: return scope.empty() || Pick(5) == 0 ? OneOf<std::string>({"PI", "E", "pi", "X9"}) : Lower(OneOf(scope));
        case 2: return "(" + Expr(scope, depth + 1) + ")";
        case 3:
        case 4:
        case 5:
            return Expr(scope, depth + 1) + Blank() + OneOf<std::string>({"+", "-", "*", "/", "^", "+", "*"}) + Blank() +
                   Expr(scope, depth + 1);
        case 6:
            return Expr(scope, depth + 1) + OneOf<std::string>({"<", ">", "=", "<=", ">=", "<>", "=<", "=>", "><", "<", "<<"}) +
                   Expr(scope, depth + 1);
        case 7: return Expr(scope, depth + 1) + OneOf<std::string>({"&", "|"}) + Expr(scope, depth + 1);
        case 8: return OneOf<std::string>({"!", "-", "+"}) + Expr(scope, depth + 1);
        case 9:
        case 10: return Builtin(scope, depth);
        case 11: return "IF(" + Expr(scope, depth + 1) + "," + Expr(scope, depth + 1) + "," + Expr(scope, depth + 1) + ")";
        case 12: return Macro(scope, depth);
        case 13:
        case 14: return UserCall(scope, depth);
        case 15: return Pick(3) ? Literal() : Pick(4) == 0 ? "RAND(" + Expr(scope, depth + 1) + ")" : "RAND";
        case 16: return Pick(4) == 0 ? Tokens() : Lower(OneOf(scope.empty() ? std::vector<std::string>{"PI"} : scope));
        case 17: { // a long body: many terms, past the length of the interpreter's stack buffer
            std::string s = Expr(scope, depth + 1);
            for (int k = Pick(60); k > 0; --k) s += OneOf<std::string>({"+", "-", "*"}) + Literal();
            return s;
        }
        case 18:
        case 19:
        case 20:
        case 21: return Literal();
        default: return scope.empty() ? Literal() : Lower(OneOf(scope));
        }
    }

    std::string Lower(std::string s) {
        if (Pick(3) == 0)
            for (char& c : s)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    }

    std::string Builtin(std::vector<std::string>& scope, int depth) {
        static const std::vector<std::string> one = {"ABS", "ARCCOS", "ARCCOSH", "ARCSIN", "ARCSINH", "ARCTAN", "ARCTANH",
                                                     "CEIL", "COS", "COSH", "DEGREES", "EXP", "FACT", "FIX", "FLOOR",
                                                     "FRAC", "LN", "LOG10", "RADIANS", "SIGN", "SIN", "SINH", "SQRT",
                                                     "TAN", "TANH"};
        static const std::vector<std::string> two = {"ARCTAN2", "LOG", "MAX", "MIN", "MOD"};
        const bool binary = Pick(3) == 0;
        int args = binary ? 2 : 1;
        if (Pick(30) == 0) args += Pick(3) - 1;
        std::vector<std::string> a;
        for (int k = 0; k < args; ++k) a.push_back(Expr(scope, depth + 1));
        return Lower(binary ? OneOf(two) : OneOf(one)) + "(" + Join(a) + ")";
    }

    std::string Macro(std::vector<std::string>& scope, int depth) {
        const std::string kind = OneOf<std::string>({"SUM", "PRODUCT", "INTEGRATE", "sum"});
        std::string var = OneOf<std::string>({"I", "J", "K", "N"});
        if (Pick(25) == 0) var = OneOf<std::string>({"PI", "1", "T", "I ", ""});
        const std::string from = Pick(3) ? std::to_string(Pick(5) - 1) : Expr(scope, depth + 2);
        const std::string to = Pick(3) ? std::to_string(Pick(12)) : Expr(scope, depth + 2);
        scope.push_back(var);
        const std::string body = Expr(scope, depth + 1);
        scope.pop_back();
        std::string text = kind + "(" + body + "," + var + "," + from + "," + to;
        if (Pick(3) == 0) text += "," + (Pick(2) ? std::to_string(Pick(4)) : Expr(scope, depth + 2));
        return text + ")";
    }

    std::string UserCall(std::vector<std::string>& scope, int depth) {
        if (functions_.empty() || Pick(30) == 0) return "NOPE(" + Expr(scope, depth + 1) + ")";
        const Function& f = OneOf(functions_);
        int args = f.params;
        if (Pick(15) == 0) args = Pick(5);
        std::vector<std::string> a;
        for (int k = 0; k < args; ++k) a.push_back(Expr(scope, depth + 1));
        if (args == 0 && Pick(2) == 0) return f.name;
        return Lower(f.name) + "(" + Join(a) + ")";
    }

    std::string Tokens() {
        static const std::vector<std::string> tokens = {"(", ")", ",", "+", "-", "*", "/", "^", "<", ">", "=", "!", "&",
                                                        "|", "1", "2.5", "T", "I", "SIN", "IF", "SUM", "F1", "F2",
                                                        " ", "PI", "E", "1E5", ".", "\xC3\xA9", "\t", "RAND", "MAX"};
        std::string s;
        const int n = 1 + Pick(14);
        for (int k = 0; k < n; ++k) s += OneOf(tokens);
        return s;
    }

    std::mt19937_64 rng_;
    std::vector<Function> functions_;
};

} // namespace ov::formula_gen
