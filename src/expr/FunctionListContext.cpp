#include "expr/FunctionListContext.h"

namespace ov {

clsFncDef* FindInList(FunctionList& list, std::string_view name) {
    for (clsFncDef& def : list)
        if (NamesEqual(def.Name, name)) return &def;
    return nullptr;
}

clsFncDef* FunctionListContext::Find(std::string_view name) {
    for (std::size_t i = 0; i < lists_.size(); ++i)
        if (clsFncDef* def = lists_[i] ? indexes_[i].Find(*lists_[i], name) : nullptr) return def;
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
