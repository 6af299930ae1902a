#pragma once
// The catalogue of names the function chooser offers, by category, and the check that
// keeps users from redefining built-in names.

#include <string_view>
#include <vector>

#include "expr/FunctionListContext.h"
#include "expr/clsArg.h"

namespace ov {

using HeaderList = std::vector<clsFncHeader>;

HeaderList GetStandardHeaders();
HeaderList GetConstantHeaders();
// The definitions of the active scene's list (none without an active scene).
HeaderList GetCustomHeaders(const FunctionList* activeSceneFunctions);
HeaderList GetOperatorHeaders();
HeaderList GetPseudoHeaders();
HeaderList GetMacroHeaders();
// Standard, Constants, Pseudo and Macro in one list.
HeaderList GetReservedHeaders();

// True, after telling the user why, when name (any case) belongs to a built-in function,
// constant, pseudo or macro function. Operators and user functions are not reserved.
bool IsNameReserved(std::string_view name);

} // namespace ov
