#include "io/LineList.h"

#include <algorithm>
#include <cstring>

namespace ov {

namespace {

constexpr std::uint32_t kTicksPerCheck = 4096;

} // namespace

LineList::LineList(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) push_back(line);
}

namespace {

// Where the line that begins at start ends, just past its line end (CR LF, LF or a lone CR);
// npos when it runs to the end of the text without one.
std::size_t NextLineStart(const std::string& text, std::size_t start) {
    const std::size_t lf = text.find('\n', start);
    const std::size_t limit = lf == std::string::npos ? text.size() : lf;
    const void* cr = std::memchr(text.data() + start, '\r', limit - start);
    if (cr) {
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
        if (at + 1 != lf) return at + 1; // a lone CR
    }
    return lf == std::string::npos ? lf : lf + 1;
}

} // namespace

LineList LineList::FromOwnedText(std::string&& text) {
    LineList list;
    // One slot per LF, plus one for a last line without one, so that splitting a large text
    // never regrows the list (only lone CRs, which are rare, add lines).
    const auto lineEnds = std::count(text.begin(), text.end(), '\n');
    list.starts_.reserve(static_cast<std::size_t>(lineEnds) + 1);
    for (std::size_t start = 0; start < text.size();) {
        list.starts_.push_back(start);
        const std::size_t next = NextLineStart(text, start);
        if (next == std::string::npos) {
            list.crlfOnly_ = false; // the last line has no line end
            break;
        }
        if (next - start < 2 || text[next - 1] != '\n' || text[next - 2] != '\r') list.crlfOnly_ = false;
        start = next;
    }
    list.text_ = std::move(text);
    return list;
}

std::string_view LineList::Line(std::size_t i) const {
    const std::size_t begin = starts_[i];
    std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : text_.size();
    // The line end: LF, CR LF or CR. No other CR stays in a line.
    if (end > begin && text_[end - 1] == '\n') --end;
    if (end > begin && text_[end - 1] == '\r') --end;
    return std::string_view(text_).substr(begin, end - begin);
}

bool LineList::EndsWithLineEnd() const {
    return !text_.empty() && (text_.back() == '\n' || text_.back() == '\r');
}

void LineList::KeepFirst(std::size_t count) {
    if (count < starts_.size()) {
        text_.resize(starts_[count]);
        starts_.resize(count);
        crlfOnly_ = false; // the kept lines may have ended in anything
    }
    front_ = 0;
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
