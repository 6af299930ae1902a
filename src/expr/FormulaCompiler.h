#pragma once
// Compiles a user function, and every user function it can reach through the context,
// into register code (CompiledFormula.h). The grammar is the interpreter's, read in the
// same way; the argument lists of calls are checked by the interpreter itself, so that
// whatever it would refuse there makes the code give up at that point.

#include <memory>

namespace ov {

class clsFncDef;
class CompiledFormula;
class FunctionContext;

std::shared_ptr<const CompiledFormula> CompileFormula(const clsFncDef& def, FunctionContext& context);

} // namespace ov
