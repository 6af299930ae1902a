#pragma once
// Finding a user function by name in a long function list. A list is searched from the
// start for every name, which is quadratic over a chain of calls among many thousands of
// functions; the index answers in constant time instead. The lists belong to the scene and
// to dialogs that change them in place, so an index is only trusted while an evaluation
// runs (a LookupEpoch is open): nothing edits a function list during one. At the first
// lookup of an evaluation the index compares the list's name stamps with its own and is
// rebuilt if any differ; outside evaluations, and for short lists, the list is searched.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "expr/clsFncDef.h"

namespace ov {

using FunctionList = std::vector<clsFncDef>;

// Open for the length of the outermost evaluation on this thread.
class LookupEpoch {
public:
    LookupEpoch();
    ~LookupEpoch();
    LookupEpoch(const LookupEpoch&) = delete;
    LookupEpoch& operator=(const LookupEpoch&) = delete;
    // The number of the evaluation that runs on this thread, 0 when none does.
    static std::uint64_t Current();

private:
    bool outermost_;
};

class FunctionIndex {
public:
    // The first definition called name (case-insensitive) in list, or null.
    clsFncDef* Find(FunctionList& list, std::string_view name);

private:
    void Refresh(const FunctionList& list);

    std::unordered_map<std::string, std::size_t> positions_; // by upper-case name
    std::vector<std::uint64_t> stamps_;                       // of the names indexed
    std::uint64_t epoch_ = 0;
};

} // namespace ov
