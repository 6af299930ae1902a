#pragma once
// An ordered list of text lines that readers consume from the front. Records parse
// themselves from a line list and append their text form to one; turning it into file
// text and back is the caller's business (FromText / ToText).
//
// The lines live in one text buffer with an offset per line, not as a string each: a
// project of millions of short lines then costs its text plus eight bytes a line.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

class LineList {
public:
    LineList() = default;
    explicit LineList(const std::vector<std::string>& lines);

    // Splits text at CR LF, LF or a lone CR (the line end of old Macintosh files: a text
    // the program writes holds no other CR, since values keep theirs as an escape). A final
    // line without a line end is kept; an empty text gives no lines. FromOwnedText takes
    // the text over instead of copying it.
    static LineList FromText(std::string_view text) { return FromOwnedText(std::string(text)); }
    static LineList FromOwnedText(std::string&& text);
    // Joins the unread lines, each followed by lineEnd. The rvalue form hands the buffer
    // over without a copy when it already has that form (a list built by push_back).
    std::string ToText(std::string_view lineEnd = "\r\n") const&;
    std::string ToText(std::string_view lineEnd = "\r\n") &&;

    bool empty() const { return front_ == starts_.size(); }
    std::size_t size() const { return starts_.size() - front_; }
    std::string_view front() const { return Line(front_); }
    void pop_front();
    void push_back(std::string_view line) { push_back({line}); }
    // Appends one line made of the parts, without building it first.
    void push_back(std::initializer_list<std::string_view> parts);
    // Room for lines of so many bytes in all (line ends not counted) to be pushed.
    void reserve(std::size_t bytes, std::size_t lines);
    // The unread line at position i (0 is the front).
    std::string_view operator[](std::size_t i) const { return Line(front_ + i); }
    // The number of the front line in the whole text, counted from 1 (lines already read
    // included), for messages that name a place in a file.
    std::size_t FrontNumber() const { return front_ + 1; }
    // The number of lines in the whole text, read or not.
    std::size_t LineCount() const { return starts_.size(); }
    // Whether the last line of the text ends with a line end.
    bool EndsWithLineEnd() const;
    // Keeps only the first count lines of the whole text and makes them all unread again
    // (in place: a large text is not copied).
    void KeepFirst(std::size_t count);

    // A check made every few thousand lines read or written (Esc in the window, the
    // command line's time limit). Once it answers true the list reads as finished and
    // takes no more lines, and Stopped() tells the caller that the text was not all used.
    void SetStopCheck(std::function<bool()> check) { stopCheck_ = std::move(check); }
    bool Stopped() const { return stopped_; }

private:
    std::string_view Line(std::size_t i) const;
    void Tick();

    std::string text_;
    std::vector<std::size_t> starts_; // where each line begins in text_
    std::size_t front_ = 0;
    // Lines added by push_back end in CR LF; a text split by FromText may end its lines
    // either way, and its last line may have no line end at all.
    bool crlfOnly_ = true;
    std::function<bool()> stopCheck_;
    std::uint32_t ticks_ = 0;
    bool stopped_ = false;
};

} // namespace ov
