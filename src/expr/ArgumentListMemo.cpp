#include "expr/ArgumentListMemo.h"

#include <algorithm>


namespace ov {

std::size_t ArgumentListMemo::ScopeOf(const std::vector<clsArg>& params) {
    // Each scope is the one before it with one variable more, so that telling a scope costs
    // a look-up per index variable, however many scopes a text has seen.
    std::size_t scope = 0;
    for (std::size_t i = base_; i < params.size(); ++i)
        scope = scopes_.try_emplace({scope, params[i].Name.str()}, scopes_.size() + 1).first->second;
    return scope;
}

bool ArgumentListMemo::Usable(const List& list, bool resolve, std::size_t scope,
                              const std::vector<clsArg>& params) const {
    if (resolve) return Holds(list.scopes, scope);
    if (!list.lenient) return false;
    if (calls_.empty()) return true;
    // Index variables are named by the same upper-case text as the calls.
    for (std::size_t i = base_; i < params.size(); ++i)
        if (calls_.count(params[i].Name.str()) != 0) return false;
    return true;
}

bool ArgumentListMemo::Holds(const std::vector<std::size_t>& scopes, std::size_t scope) {
    return std::find(scopes.begin(), scopes.end(), scope) != scopes.end();
}

} // namespace ov
