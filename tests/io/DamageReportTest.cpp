#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/LineList.h"
#include "io/NotText.h"
#include "io/Utf8.h"
#include "io/ParseReport.h"
#include "io/clsStream.h"

using namespace ov;

namespace {

ParseReport Report(const std::string& text, clsStream& s) {
    LineList lines = LineList::FromText(text);
    ParseReport report;
    s.ParseData(lines, &report);
    return report;
}

std::string Damage(const std::string& text) {
    clsStream s;
    return Report(text, s).Damage;
}

} // namespace

TEST(DamageReport, NamesTheLineAndWhatWasExpectedThere) {
    const std::pair<std::string, std::string> cases[] = {
        {"A = 1\r\n\r\nB = {\r\n  C = \r\n}\r\n", ""},
        {"A = 1\r\nB\r\nC = 2\r\n", "line 2: 'Key = value' or 'Key = {' expected"},
        {"A = 1\r\n = 2\r\n", "line 2: 'Key = value' or 'Key = {' expected"},
        {"A = 1\rB\r", "line 2: 'Key = value' or 'Key = {' expected"},
        {"A = 1\r\nB = {\r\n  Na", "line 3: the file ends in the middle of the line"},
        {"A = {\r\n  B = 1\r\n", "line 3: '}' expected to close the record 'A' begun at line 1"},
        {"A = {\r\n  B = 1", "line 2: '}' expected to close the record 'A' begun at line 1"},
        {"A = 1\r\n}\r\nB = 2\r\n", "line 2: '}' found where no record is open"},
        {std::string("A = \0\r\n", 7), ""},
        {std::string("A = 1\r\n\0\0\0\0", 11), "line 2: binary data where text was expected"},
        {std::string("A\0 = 1\r\n", 8), "line 1: binary data where text was expected"},
        // Indentation places the damage once the text has shown the program's own.
        {"A = {\r\n  B = {\r\n    C = 1\r\n  D = 2\r\n}\r\n", "line 4: '}' expected to close the record 'B' begun at line 2"},
        {"A = {\r\nB = {\r\nC = 1\r\nD = 2\r\n}\r\n", "line 6: '}' expected to close the record 'A' begun at line 1"},
        {"A = {\r\n  B = {\r\n    C = 1\r\n  }\r\n}\r\n", ""},
        {"A = {\r\n  B = 1\r\n      C = 2\r\n}\r\n", ""}, // odd indentation alone is no damage
        {"A = {\r\n  B = {\r\n    C = 1\r\n    }\r\n  }\r\n}\r\n", "line 4: unexpected '}' in the record 'B' begun at line 2"},
        {"A = {\r\n  B = {\r\n    C = 1\r\n}\r\n", "line 4: '}' expected to close the record 'B' begun at line 2"},
        {"A = {\r\n  B = 1\r\n    C = 2\r\n", "line 3: indented deeper than the lines of the record 'A' begun at line 1"},
        {"X = 1\r\nA = \r\n  B = 1\r\n}\r\n", "line 2: '{' expected after 'A ='"},
    };
    for (const auto& [text, damage] : cases) EXPECT_EQ(Damage(text), damage) << text;
}

TEST(DamageReport, TheLenientReadingStaysAsItWas) {
    clsStream damaged, plain;
    const std::string text = "A = 1\r\nB = {\r\n  stray\r\n  C = {\r\n    D = 2\r\n";
    const ParseReport report = Report(text, damaged);
    LineList lines = LineList::FromText(text);
    plain.ParseData(lines);
    LineList a, b;
    damaged.WriteData(a, 0);
    plain.WriteData(b, 0);
    EXPECT_EQ(a.ToText(), b.ToText());
    EXPECT_EQ(report.DamageLine, 3u);
    EXPECT_EQ(report.OpenRecords, 2u);
    EXPECT_EQ(report.TopLevelLines, (std::vector<std::size_t>{1, 2}));
}

TEST(DamageReport, LineNumbersGroupTheirThousands) {
    const std::pair<std::size_t, const char*> cases[] = {
        {1, "line 1"}, {999, "line 999"}, {1000, "line 1,000"}, {1098, "line 1,098"}, {1234567, "line 1,234,567"}};
    for (const auto& [line, text] : cases) EXPECT_EQ(LineText(line), text);
}

TEST(DamageReport, FilesThatAreNoTextAreNamed) {
    const std::string utf16 = "the file holds UTF-16 text, not 8-bit text";
    const std::pair<std::string, std::string> cases[] = {
        {std::string("\xFF\xFEN\0", 4), utf16}, {std::string("N\0a\0m\0e\0 \0=\0", 12), utf16},
        {std::string("\0N\0a\0m\0e\0 \0=", 12), utf16},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "the file is a PNG picture, not text"},
        {"%PDF-1.4\n", "the file is a PDF document, not text"},
        {std::string("ab\0cd", 5), "the file holds binary data, not text"},
        {"Name = Document\r\n", ""}, {"\xE9t\xE9 = 1\r\n", ""}, {"", ""},
    };
    for (const auto& [head, kind] : cases) EXPECT_EQ(DescribeNonText(head), kind) << head;
}

TEST(DamageReport, Utf16TextIsReadInEitherByteOrder) {
    const struct {
        std::string bytes; // little-endian; the big-endian case swaps each pair
        std::string utf8;
    } cases[] = {
        {std::string("\xFF\xFE" "A\0=\0", 6), "A="},                      // the byte-order mark goes
        {std::string("\xE9\0\xAC\x20", 4), "\xC3\xA9\xE2\x82\xAC"},        // U+00E9, U+20AC
        {std::string("\x3D\xD8\x00\xDE", 4), "\xF0\x9F\x98\x80"},          // U+1F600 as a surrogate pair
        {std::string("\x3D\xD8" "A\0", 4), "\xEF\xBF\xBD" "A"},            // a lone high surrogate
        {std::string("\x00\xDE", 2), "\xEF\xBF\xBD"},                      // a lone low surrogate
        {std::string("A\0B", 3), "A\xEF\xBF\xBD"},                         // an odd last byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8FromUtf16(c.bytes, true), c.utf8);
        std::string swapped = c.bytes;
        for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        EXPECT_EQ(Utf8FromUtf16(swapped, false), c.utf8);
    }
}
