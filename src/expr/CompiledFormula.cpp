#include "expr/CompiledFormula.h"

#include "expr/FunctionContext.h"
#include "expr/clsFncDef.h"

namespace ov {

DefinitionSnapshot DefinitionSnapshot::Of(const clsFncDef* def) {
    DefinitionSnapshot s;
    if (!def) return s;
    s.found = true;
    s.name = def->Name.Stamp();
    for (const clsArg& p : def->Params) s.params.push_back(p.Name.Stamp());
    s.body = def->Body.Stamp();
    return s;
}

bool CompiledFormula::DependenciesMatch(FunctionContext& context) const {
    std::unique_ptr<clsFncDef> holder;
    for (const auto& [name, snapshot] : dependencies)
        if (!snapshot.Matches(context.Definition(name, holder))) return false;
    return true;
}

} // namespace ov
