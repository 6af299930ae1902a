#pragma once
// The argument lists of one formula text that a check has read, by the address of their
// "(". Evaluating a call checks its arguments first and then evaluates them; without this,
// every call nested in an argument would check its own arguments again, and a formula of
// calls nested n deep would be read n times over. With it, a list met again takes its
// argument texts from here, so that the work stays linear in the length of the text.
//
// A list is taken without checking it again where the check that read it would give the
// same answer now. A check with names resolved depends on the names in scope: the
// definition's parameters, which stay, and the index variables of the macro functions
// being checked or run around it, which make the scope (ScopeOf). A check with unknown
// names tolerated (the arguments of SUM, PRODUCT and INTEGRATE) depends on the scope only
// through the names written before a "(": a call, or a parameter followed by a stray "(".
// It holds in any scope where none of the index variables is one of those names.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "expr/clsArg.h"

namespace ov {

class ArgumentListMemo {
public:
    // baseParams: the parameters of the definition whose text this is; any later ones are
    // index variables of macro functions.
    explicit ArgumentListMemo(std::size_t baseParams) : base_(baseParams) {}

    struct List {
        std::size_t first = 0, count = 0; // of Text()
        const char* end = nullptr;        // just after its ")"
        bool lenient = false;             // its arguments passed a check tolerating unknown names
        std::vector<std::size_t> scopes;  // ... and passed one with names resolved, in these scopes
    };
    // The list whose "(" is at open, or null.
    const List* Find(const char* open) const {
        if (lists_.empty()) return nullptr;
        const auto found = lists_.find(open);
        return found == lists_.end() ? nullptr : &found->second;
    }
    std::string_view Text(std::size_t i) const { return texts_[i]; }

    // The scope that params make: 0 with the definition's parameters alone, and one number
    // for each sequence of index variables after them.
    std::size_t ScopeOf(const std::vector<clsArg>& params);
    // Whether a reading resolving names or not, in scope with params, may take the list.
    bool Usable(const List& list, bool resolve, std::size_t scope, const std::vector<clsArg>& params) const;
    // A list whose arguments passed a check, resolving names in scope or tolerating them.
    template <class Texts>
    void Record(const char* open, const Texts& texts, const char* end, bool resolve, std::size_t scope) {
        List& list = lists_[open];
        if (list.end == nullptr) {
            list.first = texts_.size();
            list.count = texts.size();
            list.end = end;
            for (std::size_t i = 0; i < texts.size(); ++i) texts_.push_back(texts[i]);
        }
        if (!resolve) list.lenient = true;
        else if (!Holds(list.scopes, scope)) list.scopes.push_back(scope);
    }
    // A name read as a call with an argument list while unknown names were tolerated (upper
    // case, in the text). Without one, it would read on alike as a parameter.
    void NoteCall(std::string_view name) { calls_.insert(name); }

private:
    static bool Holds(const std::vector<std::size_t>& scopes, std::size_t scope);

    std::size_t base_;
    std::unordered_map<const char*, List> lists_;
    std::vector<std::string_view> texts_;
    std::unordered_set<std::string_view> calls_;
    std::map<std::pair<std::size_t, std::string>, std::size_t> scopes_; // (scope, variable) -> scope
};

} // namespace ov
