#pragma once
// Records that hold a list as numbered keys beside a count ("FncCount" with "Fnc1",
// "Fnc2", ...; "ChildCount" with "Child1", ...). The count comes from the file and may be
// damaged, so the keys actually present are found in one pass over the record instead of
// looking up every number up to the count.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

class clsStream;
class clsStreamItem;

struct NumberedItem {
    std::int32_t Number;
    const clsStreamItem* Item;

    // The item's text as GetString gives it: unescaped, and "" for a nested record.
    std::string Text() const;
};

// The items keyed prefix + n (decimal, no leading zeros) with 1 <= n <= count, ordered by
// n. Of several items with one key, the first counts, as a look-up by key would find it.
std::vector<NumberedItem> NumberedItems(const clsStream& record, std::string_view prefix, std::int32_t count);

// A count beyond the largest number present is honoured for this many more entries: a
// count a little too high still gives the missing entries the rules ask for, while an
// absurd one cannot make millions of them.
constexpr std::int32_t kNumberedCountMargin = 1000;

// How many entries of a count the reader makes: the count, but at most the largest
// number present plus the margin.
std::int32_t HonouredCount(const std::vector<NumberedItem>& present, std::int32_t count);

} // namespace ov
