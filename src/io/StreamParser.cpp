#include "io/StreamParser.h"

#include <algorithm>
#include <cstdint>

#include <memory>

#include "io/clsStream.h"

namespace ov {

std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

namespace {

// Bytes that no line of text holds: control characters other than the tab. (Values may
// hold them, as a text stored with a NUL in it writes one; keys and item lines never do.)
bool HoldsControlCharacters(std::string_view s) {
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7F) return true;
    }
    return false;
}

// A key as a message quotes it: a damaged file may hold a "key" of any length.
std::string Quoted(std::string_view key) {
    constexpr std::size_t kLongest = 60;
    if (key.size() <= kLongest) return "'" + std::string(key) + "'";
    return "'" + std::string(key.substr(0, kLongest)) + "...'";
}

} // namespace

StreamParser::StreamParser(clsStream& root, ParseReport* report) : open_{{&root, 0, -2, {}}}, report_(report) {}

void StreamParser::Parse(LineList& lines) {
    unfinishedLine_ = lines.EndsWithLineEnd() ? 0 : lines.LineCount();
    while (!lines.empty()) {
        if (!TakeLine(lines.front(), lines.FrontNumber())) break;
        lines.pop_front(); // the views into the line stay valid: popping never frees it
    }
    Finish(lines);
}

bool StreamParser::TakeLine(std::string_view line, std::size_t number) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty()) return true; // blank lines hold nothing and harm nothing
    const long blanks = static_cast<long>(t.data() - line.data());
    if (t == "}") {
        if (open_.size() == 1) {
            Damage(number, "'}' found where no record is open");
            return false;
        }
        CheckIndent(blanks, open_.back().indent, true, number);
        Close();
    } else {
        const std::size_t eq = t.find('=');
        const std::string_view key = eq == std::string_view::npos ? std::string_view() : TrimBlanks(t.substr(0, eq));
        if (!key.empty()) {
            if (HoldsControlCharacters(key)) Damage(number, "binary data where text was expected", true);
            CheckIndent(blanks, open_.back().indent + 2, false, number);
            TakeItem(key, TrimBlanks(t.substr(eq + 1)), blanks, number);
            return true;
        }
        if (HoldsControlCharacters(t)) Damage(number, "binary data where text was expected", true);
        else if (number == unfinishedLine_) Damage(number, "the file ends in the middle of the line");
        else Damage(number, "'Key = value' or 'Key = {' expected");
    }
    emptyValueLine_ = 0;
    return true;
}

void StreamParser::TakeItem(std::string_view key, std::string_view value, long blanks, std::size_t number) {
    emptyValueLine_ = value.empty() ? number : 0;
    emptyValueKey_ = key;
    if (report_ && open_.size() == 1) report_->TopLevelLines.push_back(number);
    clsStreamItem item;
    item.SetKey(key);
    item.Line = static_cast<std::uint32_t>(std::min<std::size_t>(number, UINT32_MAX));
    if (value == "{") {
        item.SetSubStream(std::make_unique<clsStream>());
        clsStream* nested = item.SubStream.get();
        open_.back().stream->Items.push_back(std::move(item));
        open_.push_back({nested, number, blanks, key});
    } else {
        item.SetValue(value);
        open_.back().stream->Items.push_back(std::move(item));
    }
}

void StreamParser::Close() {
    // A closed record keeps no spare room: a large project holds millions of them.
    open_.back().stream->Items.shrink_to_fit();
    open_.pop_back();
}

void StreamParser::CheckIndent(long blanks, long expected, bool closing, std::size_t number) {
    if (!watching_) return;
    if (blanks == expected) {
        indented_ = indented_ || blanks > 0;
        return;
    }
    watching_ = false;
    // "Key =" followed by deeper lines: the "{" of a record is gone, whatever the indentation
    // of the file was before.
    if (!closing && blanks > expected && emptyValueLine_ != 0) {
        indentation_ = {emptyValueLine_, LineText(emptyValueLine_) + ": '{' expected after " + Quoted(std::string(emptyValueKey_) + " =")};
        return;
    }
    // A file that never showed the program's indentation may be indented any way.
    if (!indented_) return;
    const OpenRecord& record = open_.back();
    std::string text;
    if (blanks < expected) text = "'}' expected to close " + RecordName(record);
    else if (closing) text = "unexpected '}' in " + RecordName(record);
    else if (open_.size() == 1) text = "indented deeper than the top level";
    else text = "indented deeper than the lines of " + RecordName(record);
    indentation_ = {number, LineText(number) + ": " + text};
}

void StreamParser::Damage(std::size_t number, std::string text, bool notText) {
    if (damage_.line == 0) damage_ = {number, LineText(number) + ": " + text, notText};
}

std::string StreamParser::RecordName(const OpenRecord& record) const {
    return "the record " + Quoted(record.key) + " begun at " + LineText(record.line);
}

void StreamParser::Finish(const LineList& lines) {
    if (!lines.Stopped() && open_.size() > 1) {
        // Where the closing line would go: after the last line end, or on the unfinished
        // last line.
        const std::size_t end = lines.LineCount() + (lines.EndsWithLineEnd() ? 1 : 0);
        Damage(end, "'}' expected to close " + RecordName(open_.back()));
    }
    if (!report_) return;
    report_->OpenRecords = open_.size() - 1;
    if (damage_.line == 0) return;
    // A line off the indentation counts only in a text that is damaged for certain.
    const Note& first = indentation_.line != 0 && indentation_.line < damage_.line ? indentation_ : damage_;
    report_->DamageLine = first.line;
    report_->Damage = first.text;
    report_->NotText = first.notText;
}

} // namespace ov
