#include "expr/CompiledFormula.h"

#include "expr/FunctionContext.h"
#include "expr/clsFncDef.h"

namespace ov {

DefinitionSnapshot DefinitionSnapshot::Of(const clsFncDef* def) {
    DefinitionSnapshot s;
    if (!def) return s;
    s.found = true;
    s.name = def->Name;
    for (const clsArg& p : def->Params) s.params.push_back(p.Name);
    s.body = def->Body;
    return s;
}

bool DefinitionSnapshot::Matches(const clsFncDef* def) const {
    if (!def) return !found;
    if (!found || def->Name != name || def->Body != body || def->Params.size() != params.size()) return false;
    for (std::size_t i = 0; i < params.size(); ++i)
        if (def->Params[i].Name != params[i]) return false;
    return true;
}

bool CompiledFormula::Matches(const clsFncDef& def, FunctionContext& context) const {
    if (!entry.Matches(&def)) return false;
    std::unique_ptr<clsFncDef> holder;
    for (const auto& [name, snapshot] : dependencies)
        if (!snapshot.Matches(context.Definition(name, holder))) return false;
    return true;
}

} // namespace ov
