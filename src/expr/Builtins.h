#pragma once
// The built-in functions of the formula language, looked up by their upper-case names.

#include <string_view>

namespace ov {

enum class Builtin {
    None, Abs, ArcCos, ArcCosH, ArcSin, ArcSinH, ArcTan, ArcTan2, ArcTanH, Ceil, Cos, CosH, Degrees, Exp, Fact,
    Fix, Floor, Frac, If, Ln, Log, Log10, Max, Min, Mod, Radians, Rand, Sign, Sin, SinH, Sqrt, Tan, TanH
};

enum class Macro { None, Sum, Product, Integrate };

Builtin LookupBuiltin(std::string_view upperName);
// The number of arguments the built-in takes (RAND: 1, and none is allowed too).
int BuiltinArgCount(Builtin b);
Macro LookupMacro(std::string_view upperName);

} // namespace ov
