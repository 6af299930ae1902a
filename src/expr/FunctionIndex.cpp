#include "expr/FunctionIndex.h"

#include "expr/FunctionListContext.h"

#include <atomic>

namespace ov {

namespace {

// Below this many functions a search is as fast as hashing the name.
constexpr std::size_t kIndexedFrom = 32;

thread_local std::uint64_t currentEpoch = 0;
std::atomic<std::uint64_t> lastEpoch{0}; // shared: an index may serve several threads in turn

} // namespace

LookupEpoch::LookupEpoch() : outermost_(currentEpoch == 0) {
    if (outermost_) currentEpoch = lastEpoch.fetch_add(1, std::memory_order_relaxed) + 1;
}

LookupEpoch::~LookupEpoch() {
    if (outermost_) currentEpoch = 0;
}

std::uint64_t LookupEpoch::Current() { return currentEpoch; }

void FunctionIndex::Refresh(const FunctionList& list) {
    bool same = stamps_.size() == list.size();
    for (std::size_t i = 0; same && i < list.size(); ++i) same = stamps_[i] == list[i].Name.Stamp();
    if (same) return;
    positions_.clear();
    positions_.reserve(list.size());
    stamps_.resize(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        stamps_[i] = list[i].Name.Stamp();
        positions_.emplace(ToUpperAscii(list[i].Name), i); // keeps the first of equal names
    }
}

clsFncDef* FunctionIndex::Find(FunctionList& list, std::string_view name) {
    const std::uint64_t epoch = LookupEpoch::Current();
    if (list.size() < kIndexedFrom || epoch == 0) return FindInList(list, name);
    if (epoch_ != epoch) {
        Refresh(list);
        epoch_ = epoch;
    }
    const auto found = positions_.find(ToUpperAscii(name));
    return found == positions_.end() ? nullptr : &list[found->second];
}

} // namespace ov
