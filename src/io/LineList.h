#pragma once
// An ordered list of text lines that readers consume from the front. Records parse
// themselves from a line list and append their text form to one; turning it into file
// text and back is the caller's business (FromText / ToText).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

class LineList {
public:
    LineList() = default;
    explicit LineList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    // Splits text at LF; a CR right before the LF belongs to the line end. A final line
    // without a line end is kept; an empty text gives no lines.
    static LineList FromText(std::string_view text);
    // Joins the unread lines, each followed by lineEnd.
    std::string ToText(std::string_view lineEnd = "\r\n") const;

    bool empty() const { return front_ == lines_.size(); }
    std::size_t size() const { return lines_.size() - front_; }
    const std::string& front() const { return lines_[front_]; }
    void pop_front() { ++front_; }
    void push_back(std::string line) { lines_.push_back(std::move(line)); }
    // The unread line at position i (0 is the front).
    const std::string& operator[](std::size_t i) const { return lines_[front_ + i]; }

private:
    std::vector<std::string> lines_;
    std::size_t front_ = 0;
};

} // namespace ov
