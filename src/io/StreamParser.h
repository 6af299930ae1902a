#pragma once
// Turns a line list into the items of a record, without recursion, and notes the first
// damage of the text on the way.
//
// Reading stays lenient: lines that hold no item are skipped, a record the text leaves open
// ends with the text, and a "}" at the top level ends the reading. What it skips or closes
// this way is the damage reported. A text written by the program indents each level by two
// blanks; where a damaged text has shown that indentation before, the first line that
// leaves it marks the damage better than the place where the structure finally breaks (a
// missing "}" deep in the tree only shows at the end of the text otherwise).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/LineList.h"
#include "io/ParseReport.h"

namespace ov {

class clsStream;

// The text without the blanks at its ends (tabs stay: they belong to values).
std::string_view TrimBlanks(std::string_view s);

class StreamParser {
public:
    // report may be null: then nothing is noted.
    StreamParser(clsStream& root, ParseReport* report);
    void Parse(LineList& lines);

private:
    struct OpenRecord {
        clsStream* stream;
        std::size_t line;   // where its "Key = {" line is
        long indent;        // the blanks before its key; -2 for the top level
        std::string_view key;
    };
    struct Note {
        std::size_t line = 0;
        std::string text;
        bool notText = false;
    };

    // Returns false when the line ends the reading (a "}" at the top level).
    bool TakeLine(std::string_view line, std::size_t number);
    void TakeItem(std::string_view key, std::string_view value, long blanks, std::size_t number);
    void Close();
    // Compares a line's indentation with the program's own for its place.
    void CheckIndent(long blanks, long expected, bool closing, std::size_t number);
    void Damage(std::size_t number, std::string text, bool notText = false);
    std::string RecordName(const OpenRecord& record) const;
    void Finish(const LineList& lines);

    std::vector<OpenRecord> open_;
    ParseReport* report_;
    Note damage_;              // the first line the reading had to skip, close or stop at
    Note indentation_;         // the first line off the program's indentation, when trusted
    bool watching_ = true;     // no line has left the program's indentation yet
    bool indented_ = false;    // a nested line has shown that indentation
    std::size_t emptyValueLine_ = 0; // the previous line, when it was "Key =" with no value
    std::string_view emptyValueKey_;
    std::size_t unfinishedLine_ = 0; // the last line, when no line end follows it
};

} // namespace ov
