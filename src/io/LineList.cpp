#include "io/LineList.h"

#include <algorithm>

namespace ov {

namespace {

constexpr std::uint32_t kTicksPerCheck = 4096;

} // namespace

LineList::LineList(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) push_back(line);
}

LineList LineList::FromOwnedText(std::string&& text) {
    LineList list;
    // One slot per line end, plus one for a last line without one, so that splitting a
    // large text never regrows the list.
    const auto lineEnds = std::count(text.begin(), text.end(), '\n');
    list.starts_.reserve(static_cast<std::size_t>(lineEnds) + 1);
    for (std::size_t start = 0; start < text.size();) {
        list.starts_.push_back(start);
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            list.crlfOnly_ = false; // the last line has no line end
            break;
        }
        if (end == start || text[end - 1] != '\r') list.crlfOnly_ = false;
        start = end + 1;
    }
    list.text_ = std::move(text);
    return list;
}

std::string_view LineList::Line(std::size_t i) const {
    const std::size_t begin = starts_[i];
    std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : text_.size();
    // The line end: LF, and a CR right before it.
    if (end > begin && text_[end - 1] == '\n') {
        --end;
        if (end > begin && text_[end - 1] == '\r') --end;
    }
    return std::string_view(text_).substr(begin, end - begin);
}

void LineList::Tick() {
    if (++ticks_ % kTicksPerCheck != 0 || !stopCheck_ || !stopCheck_()) return;
    stopped_ = true;
    front_ = starts_.size();
}

void LineList::pop_front() {
    ++front_;
    Tick();
}

void LineList::push_back(std::initializer_list<std::string_view> parts) {
    if (stopped_) return;
    starts_.push_back(text_.size());
    for (const std::string_view part : parts) text_.append(part);
    text_.append("\r\n");
    Tick();
}

void LineList::reserve(std::size_t bytes, std::size_t lines) {
    text_.reserve(text_.size() + bytes + 2 * lines);
    starts_.reserve(starts_.size() + lines);
}

std::string LineList::ToText(std::string_view lineEnd) const& {
    if (front_ == 0 && crlfOnly_ && lineEnd == "\r\n") return text_;
    std::size_t total = 0;
    for (std::size_t i = front_; i < starts_.size(); ++i) total += Line(i).size() + lineEnd.size();
    std::string text;
    text.reserve(total);
    for (std::size_t i = front_; i < starts_.size(); ++i) text.append(Line(i)).append(lineEnd);
    return text;
}

std::string LineList::ToText(std::string_view lineEnd) && {
    if (front_ != 0 || !crlfOnly_ || lineEnd != "\r\n") return static_cast<const LineList&>(*this).ToText(lineEnd);
    starts_.clear();
    return std::move(text_);
}

} // namespace ov
