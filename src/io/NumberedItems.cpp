#include "io/NumberedItems.h"

#include <algorithm>

#include "io/clsStream.h"

namespace ov {

namespace {

// The number after prefix in key, or 0 when key is not prefix and a number from 1 up.
std::int64_t KeyNumber(std::string_view key, std::string_view prefix) {
    const std::size_t p = prefix.size();
    // Ten digits hold every 32-bit count; longer keys lie beyond any count.
    if (key.size() <= p || key.size() > p + 10 || key.substr(0, p) != prefix || key[p] == '0') return 0;
    std::int64_t number = 0;
    for (std::size_t k = p; k < key.size(); ++k) {
        if (key[k] < '0' || key[k] > '9') return 0;
        number = number * 10 + (key[k] - '0');
    }
    return number;
}

} // namespace

std::string NumberedItem::Text() const {
    return Item->ItemType == clsStreamItem::Value_ ? clsStream::UnescapeText(Item->Value()) : std::string();
}

std::vector<NumberedItem> NumberedItems(const clsStream& record, std::string_view prefix, std::int32_t count) {
    std::vector<NumberedItem> items;
    for (const clsStreamItem& item : record.Items) {
        const std::int64_t number = KeyNumber(item.Key(), prefix);
        if (number >= 1 && number <= count) items.push_back({static_cast<std::int32_t>(number), &item});
    }
    // A stable sort keeps the items of one number in record order, so the first survives.
    std::stable_sort(items.begin(), items.end(),
                     [](const NumberedItem& a, const NumberedItem& b) { return a.Number < b.Number; });
    items.erase(std::unique(items.begin(), items.end(),
                            [](const NumberedItem& a, const NumberedItem& b) { return a.Number == b.Number; }),
                items.end());
    return items;
}

std::int32_t HonouredCount(const std::vector<NumberedItem>& present, std::int32_t count) {
    const std::int64_t largest = present.empty() ? 0 : present.back().Number;
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, largest + kNumberedCountMargin));
}

} // namespace ov
