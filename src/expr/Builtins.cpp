#include "expr/Builtins.h"

#include <cstddef>
#include <iterator>

namespace ov {

namespace {

struct Entry {
    std::string_view name;
    Builtin id;
    int args;
};

constexpr Entry kBuiltins[] = {
    {"ABS", Builtin::Abs, 1},         {"ARCCOS", Builtin::ArcCos, 1},   {"ARCCOSH", Builtin::ArcCosH, 1},
    {"ARCSIN", Builtin::ArcSin, 1},   {"ARCSINH", Builtin::ArcSinH, 1}, {"ARCTAN", Builtin::ArcTan, 1},
    {"ARCTAN2", Builtin::ArcTan2, 2}, {"ARCTANH", Builtin::ArcTanH, 1}, {"CEIL", Builtin::Ceil, 1},
    {"COS", Builtin::Cos, 1},         {"COSH", Builtin::CosH, 1},       {"DEGREES", Builtin::Degrees, 1},
    {"EXP", Builtin::Exp, 1},         {"FACT", Builtin::Fact, 1},       {"FIX", Builtin::Fix, 1},
    {"FLOOR", Builtin::Floor, 1},     {"FRAC", Builtin::Frac, 1},       {"IF", Builtin::If, 3},
    {"LN", Builtin::Ln, 1},           {"LOG", Builtin::Log, 2},         {"LOG10", Builtin::Log10, 1},
    {"MAX", Builtin::Max, 2},         {"MIN", Builtin::Min, 2},         {"MOD", Builtin::Mod, 2},
    {"RADIANS", Builtin::Radians, 1}, {"RAND", Builtin::Rand, 1},       {"SIGN", Builtin::Sign, 1},
    {"SIN", Builtin::Sin, 1},         {"SINH", Builtin::SinH, 1},       {"SQRT", Builtin::Sqrt, 1},
    {"TAN", Builtin::Tan, 1},         {"TANH", Builtin::TanH, 1},
};

} // namespace

Builtin LookupBuiltin(std::string_view upperName) {
    // Most names differ from the one looked for in length or first letter; those are
    // passed over without a full comparison.
    for (const Entry& e : kBuiltins)
        if (e.name.size() == upperName.size() && e.name[0] == upperName[0] && e.name == upperName) return e.id;
    return Builtin::None;
}

int BuiltinArgCount(Builtin b) {
    // The table lists the built-ins in the order of the enumeration, after None.
    const auto index = static_cast<std::size_t>(b) - 1;
    if (b != Builtin::None && index < std::size(kBuiltins) && kBuiltins[index].id == b) return kBuiltins[index].args;
    for (const Entry& e : kBuiltins)
        if (e.id == b) return e.args;
    return 0;
}

Macro LookupMacro(std::string_view upperName) {
    if (upperName == "SUM") return Macro::Sum;
    if (upperName == "PRODUCT") return Macro::Product;
    if (upperName == "INTEGRATE") return Macro::Integrate;
    return Macro::None;
}

} // namespace ov
