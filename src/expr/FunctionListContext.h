#pragma once
// A function context over one or more function lists, searched in the order given.

#include <functional>
#include <vector>

#include "expr/FunctionContext.h"
#include "expr/FunctionIndex.h"
#include "expr/clsFncDef.h"

namespace ov {

// The first definition called name (case-insensitive) in the list, or null.
clsFncDef* FindInList(FunctionList& list, std::string_view name);

class FunctionListContext : public FunctionContext {
public:
    FunctionListContext() = default;
    explicit FunctionListContext(std::vector<FunctionList*> lists) : lists_(std::move(lists)), indexes_(lists_.size()) {}

    void AddList(FunctionList* list) {
        lists_.push_back(list);
        indexes_.emplace_back();
    }
    // Called now and then during long computations; returning true aborts them.
    void SetAbortCheck(std::function<bool()> check) { abort_ = std::move(check); }

    std::unique_ptr<clsFncDef> FindFunction(std::string_view name) override;
    int NestFunction(std::string_view name, int delta) override;
    bool CheckAbort() override { return abort_ && abort_(); }
    const clsFncDef* Definition(std::string_view name, std::unique_ptr<clsFncDef>&) override { return Find(name); }

private:
    clsFncDef* Find(std::string_view name);
    std::vector<FunctionList*> lists_;
    std::vector<FunctionIndex> indexes_; // one per list
    std::function<bool()> abort_;
};

} // namespace ov
