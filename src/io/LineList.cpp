#include "io/LineList.h"

#include <algorithm>

namespace ov {

LineList LineList::FromText(std::string_view text) {
    LineList list;
    // One slot per line end, plus one for a last line without one, so that splitting a
    // large text never regrows the list.
    const auto lineEnds = std::count(text.begin(), text.end(), '\n');
    list.lines_.reserve(static_cast<std::size_t>(lineEnds) + 1);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) end = text.size();
        std::size_t lineEnd = end;
        if (!last && lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
        list.lines_.emplace_back(text.substr(start, lineEnd - start));
        start = last ? text.size() : end + 1;
    }
    return list;
}

std::string LineList::ToText(std::string_view lineEnd) const {
    std::size_t total = 0;
    for (std::size_t i = front_; i < lines_.size(); ++i) total += lines_[i].size() + lineEnd.size();
    std::string text;
    text.reserve(total);
    for (std::size_t i = front_; i < lines_.size(); ++i) {
        text += lines_[i];
        text += lineEnd;
    }
    return text;
}

} // namespace ov
