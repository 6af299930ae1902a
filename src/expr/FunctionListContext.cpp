#include "expr/FunctionListContext.h"

namespace ov {

clsFncDef* FindInList(FunctionList& list, std::string_view name) {
    for (clsFncDef& def : list)
        if (NamesEqual(def.Name, name)) return &def;
    return nullptr;
}

clsFncDef* FunctionListContext::Find(std::string_view name) {
    for (FunctionList* list : lists_)
        if (clsFncDef* def = list ? FindInList(*list, name) : nullptr) return def;
    return nullptr;
}

std::unique_ptr<clsFncDef> FunctionListContext::FindFunction(std::string_view name) {
    const clsFncDef* def = Find(name);
    return def ? def->Dup() : nullptr;
}

int FunctionListContext::NestFunction(std::string_view name, int delta) {
    clsFncDef* def = Find(name);
    if (!def) return 0;
    def->NestCount += delta;
    return def->NestCount;
}

} // namespace ov
