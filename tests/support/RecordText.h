#pragma once
// A persistent value's record as one line of text ("Key = value|Key = value|..."), and a
// value read from such text, or the record itself: record tables stay one line per case.

#include <algorithm>
#include <string>

#include "io/LineList.h"
#include "io/clsStream.h"

namespace ov::records {

template <class T> std::string RecordText(const T& v) {
    clsStream s;
    v.WriteData(s);
    LineList lines;
    s.WriteData(lines, 0);
    return lines.ToText("|");
}

inline clsStream Parse(std::string text) {
    std::replace(text.begin(), text.end(), '|', '\n');
    LineList lines = LineList::FromText(text);
    clsStream s;
    s.ParseData(lines);
    return s;
}

template <class T> T ReadInto(T target, const std::string& text) {
    const clsStream s = Parse(text);
    target.ReadData(s);
    return target;
}

} // namespace ov::records
