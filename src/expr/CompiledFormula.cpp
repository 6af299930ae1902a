#include "expr/CompiledFormula.h"

#include "expr/FunctionContext.h"
#include "expr/clsFncDef.h"

#include <cstdint>
#include <cstring>

namespace ov {

namespace {

// String equality without a library call: bodies are short, and this runs before every
// evaluation.
bool SameText(const std::string& a, const std::string& b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    const char* p = a.data();
    const char* q = b.data();
    auto same8 = [&](std::size_t i) {
        std::uint64_t x, y;
        std::memcpy(&x, p + i, 8);
        std::memcpy(&y, q + i, 8);
        return x == y;
    };
    if (n < 8) {
        for (std::size_t i = 0; i < n; ++i)
            if (p[i] != q[i]) return false;
        return true;
    }
    for (std::size_t i = 0; i + 8 < n; i += 8)
        if (!same8(i)) return false;
    return same8(n - 8); // the last eight bytes, overlapping what was compared

}

} // namespace

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
    if (!found || !SameText(def->Body, body) || !SameText(def->Name, name) || def->Params.size() != params.size())
        return false;
    for (std::size_t i = 0; i < params.size(); ++i)
        if (!SameText(def->Params[i].Name, params[i])) return false;
    return true;
}

bool CompiledFormula::DependenciesMatch(FunctionContext& context) const {
    std::unique_ptr<clsFncDef> holder;
    for (const auto& [name, snapshot] : dependencies)
        if (!snapshot.Matches(context.Definition(name, holder))) return false;
    return true;
}

} // namespace ov
