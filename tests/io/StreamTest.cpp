#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pthread.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "io/LineList.h"
#include "io/NumberText.h"
#include "io/clsStream.h"

using namespace ov;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::vector<std::string> Lines(const LineList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.size(); ++i) out.push_back(list[i]);
    return out;
}

std::vector<std::string> Written(const clsStream& s, std::int32_t depth = 0) {
    LineList out;
    s.WriteData(out, depth);
    return Lines(out);
}

clsStream Parse(std::string_view text) {
    LineList lines = LineList::FromText(text);
    clsStream s;
    s.ParseData(lines);
    return s;
}

// Writes the stream as file text (CR LF) and parses that text into a new stream.
clsStream RoundTrip(const clsStream& s) {
    LineList out;
    s.WriteData(out, 0);
    return Parse(out.ToText());
}

std::vector<std::string> Keys(const clsStream& s) {
    std::vector<std::string> keys;
    for (const auto& item : s.Items) keys.push_back(item.Key);
    return keys;
}

// Runs f on a thread with a small stack, so that any recursion proportional to the
// nesting depth overflows it.
void OnSmallStack(std::function<void()> f) {
    pthread_attr_t attr;
    ASSERT_EQ(pthread_attr_init(&attr), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, 256 * 1024), 0);
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        (*static_cast<std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, run, &f), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

} // namespace

// ---------------------------------------------------------------- line lists

TEST(LineList, FromTextSplitsAtLineFeedsAndDropsTheCarriageReturnBeforeThem) {
    EXPECT_THAT(Lines(LineList::FromText("")), IsEmpty());
    EXPECT_THAT(Lines(LineList::FromText("a")), ElementsAre("a"));
    EXPECT_THAT(Lines(LineList::FromText("a\n")), ElementsAre("a"));
    EXPECT_THAT(Lines(LineList::FromText("a\r\n")), ElementsAre("a"));
    EXPECT_THAT(Lines(LineList::FromText("a\r\nb\nc")), ElementsAre("a", "b", "c"));
    EXPECT_THAT(Lines(LineList::FromText("\n\r\n\n")), ElementsAre("", "", ""));
    EXPECT_THAT(Lines(LineList::FromText("a\rb\r\r\n")), ElementsAre("a\rb\r")); // only the CR of CR LF goes
    EXPECT_THAT(Lines(LineList::FromText("a\r")), ElementsAre("a\r"));
    EXPECT_THAT(Lines(LineList::FromText(std::string_view("a\0b\nc", 5))), ElementsAre(std::string("a\0b", 3), "c"));
}

TEST(LineList, ToTextJoinsOnlyTheUnreadLines) {
    LineList list = LineList::FromText("a\nb\nc\n");
    EXPECT_EQ(list.ToText(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(list.ToText("\n"), "a\nb\nc\n");
    list.pop_front();
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list.front(), "b");
    EXPECT_EQ(list[1], "c");
    EXPECT_EQ(list.ToText(), "b\r\nc\r\n");
    list.push_back("d");
    list.pop_front();
    list.pop_front();
    EXPECT_EQ(list.front(), "d");
    list.pop_front();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.ToText(), "");
}

// ---------------------------------------------------------------- writing

TEST(StreamWrite, ValuesAndSubStreamsIndentTwoBlanksPerLevel) {
    clsStream s;
    s.SetString("Name", "Document");
    s.CreateSubStream("Tree").SetLong("ChildCount", 1);
    EXPECT_THAT(Written(s), ElementsAre("Name = Document", "Tree = {", "  ChildCount = 1", "}"));
    EXPECT_THAT(Written(s, 2), ElementsAre("    Name = Document", "    Tree = {", "      ChildCount = 1", "    }"));

    LineList out;
    s.WriteData(out, 0);
    EXPECT_EQ(out.ToText(), "Name = Document\r\nTree = {\r\n  ChildCount = 1\r\n}\r\n");

    clsStream nested;
    clsStream& a = nested.CreateSubStream("A");
    a.CreateSubStream("Empty");
    a.CreateSubStream("B").SetBool("On", true);
    a.SetDouble("X", -0.125);
    nested.SetString("Blank", "");
    EXPECT_THAT(Written(nested), ElementsAre("A = {", "  Empty = {", "  }", "  B = {", "    On = 1", "  }",
                                             "  X = -.125", "}", "Blank = "));
}

TEST(StreamWrite, EmptyItemsWriteNothing) {
    clsStream s;
    s.Items.emplace_back(); // a new item: no key, empty
    s.SetString("A", "1");
    s.Items.emplace_back();
    EXPECT_THAT(Written(s), ElementsAre("A = 1"));

    clsStreamItem item;
    EXPECT_TRUE(item.IsEmpty());
    EXPECT_EQ(item.Key, "");
    LineList out;
    item.WriteData(out, 0);
    EXPECT_TRUE(out.empty());
    item.Key = "K";
    item.SetValue("v");
    item.WriteData(out, 1);
    item.SetEmpty();
    item.WriteData(out, 1);
    EXPECT_THAT(Lines(out), ElementsAre("  K = v"));
}

TEST(StreamWrite, TypedSettersUseTheFileEncodings) {
    clsStream s;
    s.SetBool("T", true);
    s.SetBool("F", false);
    s.SetLong("Min", INT32_MIN);
    s.SetLong("Max", INT32_MAX);
    s.SetDouble("Half", 0.5);
    s.SetDouble("Sum", 0.1 + 0.2);
    s.SetDouble("Big", 1e15);
    s.SetDouble("Tiny", 0.00001);
    s.SetDouble("Zero", -0.0);
    EXPECT_THAT(Written(s), ElementsAre("T = 1", "F = 0", "Min = -2147483648", "Max = 2147483647", "Half = .5",
                                        "Sum = .3", "Big = 1E+15", "Tiny = 1E-05", "Zero = 0"));
}

// ---------------------------------------------------------------- escapes

TEST(StreamEscapes, EscapeAndUnescapeTheFourSpecialCharacters) {
    const struct {
        std::string text, escaped;
    } cases[] = {
        {"plain", "plain"},
        {"a\\b", "a\\\\b"},
        {"\\n", "\\\\n"},                  // a backslash and an n stay that, not a line feed
        {"line\r\nbreak", "line\\r\\nbreak"},
        {"tab\there", "tab\\there"},
        {"\\\\", "\\\\\\\\"},
        {"\\\r", "\\\\\\r"},
        {" = { } ", " = { } "},            // nothing else is escaped
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clsStream::EscapeText(c.text), c.escaped);
        EXPECT_EQ(clsStream::UnescapeText(c.escaped), c.text);
    }
}

TEST(StreamEscapes, UnescapingScansLeftToRightWithoutOverlap) {
    const struct {
        std::string stored, text;
    } cases[] = {
        {"\\\\r", "\\r"},                     // the pair is taken first: backslash, then r
        {"\\\\\\r", "\\\r"},                  // pair, then an escaped CR
        {"\\\\\\", "\\\\"},                   // pair, then a lone trailing backslash
        {"\\", "\\"},
        {"a\\", "a\\"},
        {"\\x\\N\\R\\T", "\\x\\N\\R\\T"},     // unknown and upper-case escapes stay as they are
        {"\\r\\n\\t", "\r\n\t"},
        {"\\\\\\\\n", "\\\\n"},
        {std::string("a\0b", 3), "a\\b"},     // a stored NUL reads as a backslash
        {std::string("\0n", 2), "\\n"},       // ... and does not start an escape
        {std::string("\\\0", 2), "\\\\"},
        {std::string("\\\0\\", 3), "\\\\\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(clsStream::UnescapeText(c.stored), c.text) << c.stored;
}

TEST(StreamEscapes, UnescapeMatchesTheSuccessiveReplacementsOnAllShortTexts) {
    // The rule is defined as five whole-text replacements; the reader does it in one scan.
    auto replaceAll = [](std::string s, const std::string& from, const std::string& to) {
        std::string out;
        std::size_t pos = 0, hit;
        while ((hit = s.find(from, pos)) != std::string::npos) {
            out += s.substr(pos, hit - pos) + to;
            pos = hit + from.size();
        }
        return out + s.substr(pos);
    };
    const std::string nul(1, '\0');
    auto reference = [&](const std::string& s) {
        std::string t = replaceAll(s, "\\\\", nul);
        t = replaceAll(t, "\\r", "\r");
        t = replaceAll(t, "\\n", "\n");
        t = replaceAll(t, "\\t", "\t");
        return replaceAll(t, nul, "\\");
    };
    const char alphabet[] = {'\\', 'r', 'n', 't', '\0', 'x', '\r'};
    const int n = sizeof alphabet;
    for (int length = 0; length <= 6; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i) combinations *= n;
        for (int code = 0; code < combinations; ++code) {
            std::string s;
            for (int i = 0, c = code; i < length; ++i, c /= n) s.push_back(alphabet[c % n]);
            ASSERT_EQ(clsStream::UnescapeText(s), reference(s)) << "stored text of length " << length << ", code " << code;
            if (s.find('\0') == std::string::npos) {
                ASSERT_EQ(clsStream::UnescapeText(clsStream::EscapeText(s)), s);
            }
        }
    }
}

TEST(StreamEscapes, TextsSurviveStoringWritingAndReading) {
    const std::string texts[] = {"a\\b", "\\n", "first\r\nsecond", "\ttabbed\t", "x = y", "{ }", "}", "a=b=c",
                                 "\\\\\\", "trailing\\", "1 2 3", "\xc3\xa4\xc3\xb6\xc3\xbc"};
    clsStream s;
    for (std::size_t i = 0; i < std::size(texts); ++i) s.SetString("K" + std::to_string(i), texts[i]);
    const auto lines = Written(s);
    ASSERT_EQ(lines.size(), std::size(texts)); // line breaks stay inside their line
    EXPECT_EQ(lines[0], "K0 = a\\\\b");
    EXPECT_EQ(lines[2], "K2 = first\\r\\nsecond");
    const clsStream back = RoundTrip(s);
    for (std::size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(back.GetString("K" + std::to_string(i), "?"), texts[i]);
}

// ---------------------------------------------------------------- parsing

TEST(StreamParse, ReadsValuesAndNestedStreams) {
    const clsStream s = Parse("Name = Document\r\nTree = {\r\n  ChildCount = 1\r\n  Sub = {\r\n    Deep = x\r\n  }\r\n"
                              "  After = 2\r\n}\r\nLast = 3\r\n");
    EXPECT_THAT(Keys(s), ElementsAre("Name", "Tree", "Last"));
    EXPECT_EQ(s.Items[0].ItemType, 1);
    EXPECT_EQ(s.Items[1].ItemType, 2);
    EXPECT_EQ(s.GetString("Name", ""), "Document");
    const clsStream& tree = s.GetSubStream("Tree");
    EXPECT_THAT(Keys(tree), ElementsAre("ChildCount", "Sub", "After"));
    EXPECT_EQ(tree.GetLong("ChildCount", 0, 100, 0), 1);
    EXPECT_EQ(tree.GetSubStream("Sub").GetString("Deep", ""), "x");
    EXPECT_EQ(tree.GetLong("After", 0, 100, 0), 2);
    EXPECT_EQ(s.GetLong("Last", 0, 100, 0), 3);
}

TEST(StreamParse, SkipsLinesThatHoldNoItem) {
    const clsStream s = Parse("\n   \nstray words\n= no key\n   =   \nA = 1\n\nB = 2\n{\nC = 3\n");
    EXPECT_THAT(Keys(s), ElementsAre("A", "B", "C"));
    EXPECT_EQ(s.GetString("C", ""), "3");
}

TEST(StreamParse, TrimsBlanksButNotTabs) {
    const clsStream s = Parse("   Key   =   spaced value   \n\tTabKey = v\t\nPlain=tight\nE =\n");
    EXPECT_THAT(Keys(s), ElementsAre("Key", "\tTabKey", "Plain", "E"));
    EXPECT_EQ(s.GetString("Key", ""), "spaced value");
    EXPECT_EQ(s.Items[1].Value, "v\t");
    EXPECT_EQ(s.GetString("Plain", ""), "tight");
    EXPECT_EQ(s.GetString("E", "?"), "");

    // A "}" is a closing line only with blanks around it, not with tabs.
    const clsStream t = Parse("A = {\n\t}\nB = 1\n   }   \nC = 2\n");
    EXPECT_THAT(Keys(t), ElementsAre("A", "C"));
    EXPECT_THAT(Keys(t.GetSubStream("A")), ElementsAre("B"));
}

TEST(StreamParse, FirstEqualsSignEndsTheKey) {
    const clsStream s = Parse("a=b = c=d\nx == y\n");
    EXPECT_THAT(Keys(s), ElementsAre("a", "x"));
    EXPECT_EQ(s.GetString("a", ""), "b = c=d");
    EXPECT_EQ(s.GetString("x", ""), "= y");

    // So a key holding "=" cannot be stored: it comes back cut at the "=".
    clsStream w;
    w.SetString("k=1", "v");
    const clsStream back = RoundTrip(w);
    EXPECT_THAT(Keys(back), ElementsAre("k"));
    EXPECT_EQ(back.GetString("k", ""), "1 = v");
}

TEST(StreamParse, ReadsCrLfAndLfLineEndsAlike) {
    const clsStream crlf = Parse("A = 1\r\nB = {\r\n  C = x\r\n}\r\nD = \r\n");
    const clsStream lf = Parse("A = 1\nB = {\n  C = x\n}\nD = \n");
    const clsStream mixed = Parse("A = 1\r\nB = {\n  C = x\r\n}\nD = ");
    for (const clsStream* s : {&crlf, &lf, &mixed}) {
        EXPECT_THAT(Written(*s), ElementsAre("A = 1", "B = {", "  C = x", "}", "D = "));
        EXPECT_EQ(s->GetString("A", ""), "1"); // no CR left at the end of a value
    }
}

TEST(StreamParse, DuplicateKeysAreKeptAndTheFirstWins) {
    clsStream s = Parse("A = 1\nB = x\nA = 2\n");
    EXPECT_THAT(Keys(s), ElementsAre("A", "B", "A"));
    EXPECT_EQ(s.GetLong("A", 0, 10, 0), 1);
    s.SetString("A", "3");
    EXPECT_THAT(Written(s), ElementsAre("A = 3", "B = x", "A = 2"));
    s.CreateSubStream("A").SetLong("In", 1);
    EXPECT_THAT(Written(s), ElementsAre("A = {", "  In = 1", "}", "B = x", "A = 2"));
    // The getters keep looking at the first item even though it now holds a stream.
    EXPECT_EQ(s.GetLong("A", 0, 10, 7), 7);

    // A later duplicate of the other kind is never seen.
    const clsStream valueFirst = Parse("A = 1\nA = {\n  B = 2\n}\n");
    EXPECT_TRUE(valueFirst.GetSubStream("A").Items.empty());
    const clsStream streamFirst = Parse("A = {\n  B = 2\n}\nA = 1\n");
    EXPECT_EQ(streamFirst.GetString("A", "dflt"), "dflt");
    EXPECT_EQ(streamFirst.GetLong("A", 0, 10, 7), 7);
}

TEST(StreamParse, ClosingLineAtTheTopEndsParsingAndStaysInTheList) {
    LineList lines = LineList::FromText("A = 1\n  }  \nB = 2\n");
    clsStream s;
    s.ParseData(lines);
    EXPECT_THAT(Keys(s), ElementsAre("A"));
    EXPECT_THAT(Lines(lines), ElementsAre("  }  ", "B = 2"));

    // Parsing again without removing it reads nothing; after removing it, the rest is appended.
    s.ParseData(lines);
    EXPECT_EQ(s.Items.size(), 1u);
    lines.pop_front();
    s.ParseData(lines);
    EXPECT_THAT(Keys(s), ElementsAre("A", "B"));
    EXPECT_TRUE(lines.empty());
}

TEST(StreamParse, UnclosedSubStreamsEndAtTheEndOfTheText) {
    LineList lines = LineList::FromText("A = {\n  B = {\n    C = 1\n  }\n  D = 2\n");
    clsStream s;
    s.ParseData(lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_THAT(Keys(s), ElementsAre("A"));
    EXPECT_THAT(Keys(s.GetSubStream("A")), ElementsAre("B", "D"));
    EXPECT_THAT(Written(s), ElementsAre("A = {", "  B = {", "    C = 1", "  }", "  D = 2", "}"));
}

TEST(StreamParse, IndentationMeansNothing) {
    const clsStream s = Parse("        A = {\nB = 1\n                  }\n    C = 2\n");
    EXPECT_THAT(Keys(s), ElementsAre("A", "C"));
    EXPECT_THAT(Keys(s.GetSubStream("A")), ElementsAre("B"));
}

TEST(StreamParse, AValueOfExactlyAnOpeningBraceStartsASubStream) {
    const clsStream s = Parse("A =   {   \nB = {x\nC = x{\n}\nD = 1\n");
    ASSERT_EQ(s.Items.size(), 2u);
    EXPECT_EQ(s.Items[0].ItemType, 2); // A takes B and C, the "}" closes it
    EXPECT_THAT(Keys(s.GetSubStream("A")), ElementsAre("B", "C"));
    EXPECT_EQ(s.GetSubStream("A").GetString("B", ""), "{x");
    EXPECT_EQ(s.GetString("D", ""), "1");

    // Storing the text "{" therefore reads back as an empty stream, if nothing follows ...
    clsStream w;
    w.SetString("Brace", "{");
    clsStream back = RoundTrip(w);
    ASSERT_EQ(back.Items.size(), 1u);
    EXPECT_EQ(back.Items[0].ItemType, 2);
    EXPECT_TRUE(back.GetSubStream("Brace").Items.empty());
    EXPECT_EQ(back.GetString("Brace", "default"), "default");
    // ... and swallows the items written after it.
    w.SetString("Next", "1");
    back = RoundTrip(w);
    EXPECT_THAT(Keys(back), ElementsAre("Brace"));
    EXPECT_EQ(back.GetSubStream("Brace").GetString("Next", ""), "1");
}

TEST(StreamParse, TextsWithLeadingOrTrailingBlanksLoseThem) {
    clsStream w;
    w.SetString("  Key  ", "  text  ");
    w.SetString("Tabs", "\t text \t");
    const clsStream back = RoundTrip(w);
    EXPECT_EQ(back.GetString("Key", "?"), "text");
    EXPECT_EQ(back.GetString("Tabs", "?"), "\t text \t"); // escaped tabs protect the blanks
}

TEST(StreamParse, EmptySubStreamRoundTrips) {
    clsStream w;
    w.CreateSubStream("Empty");
    w.SetLong("After", 1);
    EXPECT_THAT(Written(w), ElementsAre("Empty = {", "}", "After = 1"));
    const clsStream back = RoundTrip(w);
    EXPECT_THAT(Keys(back), ElementsAre("Empty", "After"));
    EXPECT_EQ(back.Items[0].ItemType, 2);
    EXPECT_TRUE(back.GetSubStream("Empty").Items.empty());
}

TEST(StreamParse, ItemParseReadsOneItemAndStopsAtAClosingLine) {
    LineList lines = LineList::FromText("\nnoise\nK = {\n  A = 1\n}\nL = 2\n}\nM = 3\n");
    clsStreamItem item;
    item.Key = "old";
    item.SetValue("old");
    item.ParseData(lines);
    EXPECT_EQ(item.Key, "K");
    ASSERT_EQ(item.ItemType, 2);
    EXPECT_EQ(item.Value, "");
    EXPECT_THAT(Keys(*item.SubStream), ElementsAre("A"));
    EXPECT_EQ(lines.front(), "L = 2"); // the closing line of K went with it

    item.ParseData(lines);
    EXPECT_EQ(item.Key, "L");
    EXPECT_EQ(item.ItemType, 1);
    EXPECT_EQ(item.SubStream, nullptr);

    item.ParseData(lines);
    EXPECT_TRUE(item.IsEmpty());
    EXPECT_THAT(Lines(lines), ElementsAre("}", "M = 3"));

    LineList none = LineList::FromText("\njunk\n");
    item.ParseData(none);
    EXPECT_TRUE(item.IsEmpty());
    EXPECT_TRUE(none.empty());
}

TEST(StreamParse, WrittenStreamsReadBackIdentically) {
    clsStream s;
    s.SetString("Name", "Haus = {Nord}");
    s.SetDouble("X", 1.0 / 3);
    s.SetDouble("Y", -2.5e-7);
    s.SetLong("N", -17);
    s.SetBool("On", true);
    clsStream& view = s.CreateSubStream("View");
    view.SetDouble("Scale", 1.5e20);
    view.CreateSubStream("Empty");
    clsStream& inner = view.CreateSubStream("Inner");
    inner.SetString("Text", "a\\b\r\nc");
    inner.SetString("Blank", "");
    s.SetString("Tail", "}");

    const auto first = Written(s);
    const clsStream back = RoundTrip(s);
    EXPECT_EQ(Written(back), first);
    EXPECT_EQ(back.GetDouble("X", false, 0, 0, 0), ReadNumber(".333333333333333"));
    EXPECT_EQ(back.GetDouble("Y", false, 0, 0, 0), -2.5e-7);
    EXPECT_EQ(back.GetLong("N", -100, 100, 0), -17);
    EXPECT_TRUE(back.GetBool("On", false));
    EXPECT_EQ(back.GetSubStream("View").GetSubStream("Inner").GetString("Text", ""), "a\\b\r\nc");
    EXPECT_EQ(back.GetString("Tail", ""), "}");
}

// ---------------------------------------------------------------- getters and setters

TEST(StreamGetters, GetValDistinguishesMissingFromEmpty) {
    const clsStream s = Parse("Empty =\nText = abc\nSub = {\n}\n");
    EXPECT_EQ(s.GetVal("Empty", false, "dflt"), "");
    EXPECT_EQ(s.GetVal("Empty", true, "dflt"), "0");
    EXPECT_EQ(s.GetVal("Missing", false, "dflt"), "dflt");
    EXPECT_EQ(s.GetVal("Missing", true, ""), "0");
    EXPECT_EQ(s.GetVal("Sub", false, "dflt"), "dflt");
    EXPECT_EQ(s.GetVal("Text", true, "dflt"), "abc");
    EXPECT_EQ(s.GetVal("text", false, "dflt"), "dflt"); // keys are case-sensitive
}

TEST(StreamGetters, GetDoubleDefaultsOnlyForMissingKeys) {
    const clsStream s = Parse("Empty =\nFive = 5\nNeg = -5\nJunk = abc\nSub = {\n}\nBig = 1E+400\n");
    EXPECT_EQ(s.GetDouble("Missing", false, 0, 0, 2.5), 2.5);
    EXPECT_EQ(s.GetDouble("Empty", false, 0, 0, 2.5), 0);
    EXPECT_EQ(s.GetDouble("Junk", false, 0, 0, 2.5), 0);
    EXPECT_EQ(s.GetDouble("Sub", false, 0, 0, 2.5), 2.5);
    EXPECT_EQ(s.GetDouble("Five", false, 0, 1, 2.5), 5); // no clamp: bounds ignored
    EXPECT_EQ(s.GetDouble("Five", true, 0, 1, 2.5), 1);
    EXPECT_EQ(s.GetDouble("Neg", true, 0, 1, 2.5), 0);
    EXPECT_EQ(s.GetDouble("Five", true, 10, 1, 2.5), 1); // reversed range ends at the maximum
    EXPECT_EQ(s.GetDouble("Missing", true, 0, 1, 2.5), 1); // the default is clamped as well
    EXPECT_EQ(s.GetDouble("Big", false, 0, 0, 0), DBL_MAX);
    // The default goes through the file encoding, so it comes back rounded to 15 digits.
    EXPECT_EQ(s.GetDouble("Missing", false, 0, 0, 0.1 + 0.2), 0.3);
    EXPECT_EQ(s.GetDouble("Missing", false, 0, 0, -1e-300), -1e-300);
}

TEST(StreamGetters, GetLongClampsThenRoundsHalvesToEven) {
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {{"Precision = 12", 10}, {"Precision = 0", 1},  {"Precision = 2.5", 2}, {"Precision = 3.5", 4},
                 {"Precision = 7", 7},   {"Precision =", 1},    {"Precision = x", 1},   {"Other = 3", 4},
                 {"Precision = {", 4},   {"Precision = 9.5", 10}, {"Precision = &HA", 10}, {"Precision = -1E+99", 1}};
    for (const auto& c : cases) EXPECT_EQ(Parse(c.text).GetLong("Precision", 1, 10, 4), c.expected) << c.text;
    // A default outside the range is clamped too.
    EXPECT_EQ(clsStream().GetLong("Precision", 1, 10, 40), 10);
}

TEST(StreamGetters, GetBoolIsTrueForEveryNonZeroNumber) {
    const struct {
        const char* value;
        bool expected;
    } cases[] = {{"1", true},  {"-1", true},  {"2", true},    {".5", true},  {"1E-300", true}, {"&H1", true},
                 {"0", false}, {"", false},   {"abc", false}, {"0.0", false}, {"-0", false},  {"true", false},
                 {"x1", false}, {"1abc", true}};
    for (const auto& c : cases) {
        const clsStream s = Parse(std::string("B = ") + c.value);
        EXPECT_EQ(s.GetBool("B", !c.expected), c.expected) << '"' << c.value << '"';
    }
    EXPECT_TRUE(clsStream().GetBool("B", true));
    EXPECT_FALSE(clsStream().GetBool("B", false));
    EXPECT_TRUE(Parse("B = {\n}").GetBool("B", true));
}

TEST(StreamGetters, GetStringUnescapesValueAndDefault) {
    const clsStream s = Parse("Empty =\nEsc = a\\\\b\\tc\nSub = {\n}\n");
    EXPECT_EQ(s.GetString("Empty", "dflt"), "");
    EXPECT_EQ(s.GetString("Esc", ""), "a\\b\tc");
    EXPECT_EQ(s.GetString("Missing", "x\\\\y\\n"), "x\\y\n");
    EXPECT_EQ(s.GetString("Sub", "dflt"), "dflt");
}

TEST(StreamGetters, GetSubStreamIsNeverAbsent) {
    const clsStream s = Parse("Value = 1\nSub = {\n  A = 1\n}\n");
    EXPECT_TRUE(s.GetSubStream("Missing").Items.empty());
    EXPECT_TRUE(s.GetSubStream("Value").Items.empty());
    EXPECT_EQ(&s.GetSubStream("Sub"), s.Items[1].SubStream.get());
    EXPECT_TRUE(s.GetSubStream("Missing").GetSubStream("Deeper").Items.empty());
}

TEST(StreamSetters, ExistingKeysKeepTheirPlaceWhateverTheyHeld) {
    clsStream s;
    s.SetString("A", "1");
    s.CreateSubStream("B").SetLong("In", 1);
    s.SetString("C", "3");
    s.SetString("B", "now a value");
    s.CreateSubStream("A").SetString("X", "y");
    s.SetLong("C", 30);
    EXPECT_THAT(Written(s), ElementsAre("A = {", "  X = y", "}", "B = now a value", "C = 30"));

    clsStream& again = s.CreateSubStream("A"); // a fresh empty stream replaces the old one
    EXPECT_TRUE(again.Items.empty());
    EXPECT_EQ(&again, &s.GetSubStream("A"));
    EXPECT_EQ(s.Items[0].Value, "");
    EXPECT_EQ(s.Items[1].SubStream, nullptr);
}

TEST(StreamSetters, TypedValuesReadBack) {
    clsStream s;
    const double doubles[] = {0, 1, -1, 0.5, 1.0 / 3, -2.5e-7, 1.5e20, 1e15, 123456.789, DBL_MAX, -DBL_MIN, 1e-320};
    for (std::size_t i = 0; i < std::size(doubles); ++i) s.SetDouble("D" + std::to_string(i), doubles[i]);
    const std::int32_t longs[] = {0, 1, -1, 1000000, INT32_MAX, INT32_MIN};
    for (std::size_t i = 0; i < std::size(longs); ++i) s.SetLong("L" + std::to_string(i), longs[i]);
    s.SetBool("T", true);
    s.SetBool("F", false);

    const clsStream back = RoundTrip(s);
    for (std::size_t i = 0; i < std::size(doubles); ++i) {
        const double v = back.GetDouble("D" + std::to_string(i), false, 0, 0, 99);
        EXPECT_NEAR(v, doubles[i], std::fabs(doubles[i]) * 5.12e-15) << doubles[i];
    }
    for (std::size_t i = 0; i < std::size(longs); ++i)
        EXPECT_EQ(back.GetLong("L" + std::to_string(i), INT32_MIN, INT32_MAX, 99), longs[i]);
    EXPECT_TRUE(back.GetBool("T", false));
    EXPECT_FALSE(back.GetBool("F", true));
}

TEST(StreamSetters, ResetDropsEverything) {
    clsStream s = Parse("A = 1\nB = {\n  C = {\n  }\n}\n");
    s.Reset();
    EXPECT_TRUE(s.Items.empty());
    EXPECT_THAT(Written(s), IsEmpty());
    s.SetString("A", "2");
    EXPECT_THAT(Written(s), ElementsAre("A = 2"));
}

// ---------------------------------------------------------------- deep nesting

TEST(StreamDepth, DeepNestingParsesWalksAndFreesWithoutRecursion) {
    constexpr int depth = 200000;
    std::vector<std::string> text;
    text.reserve(depth + 2);
    for (int i = 0; i < depth; ++i) text.push_back("k = {");
    text.push_back("leaf = 1");

    {
        LineList lines(text);
        clsStream s;
        s.ParseData(lines); // unclosed all the way down
        EXPECT_TRUE(lines.empty());
        const clsStream* p = &s;
        int levels = 0;
        while (!p->Items.empty() && p->Items[0].ItemType == clsStreamItem::SubStream_) {
            p = p->Items[0].SubStream.get();
            ++levels;
        }
        EXPECT_EQ(levels, depth);
        EXPECT_EQ(p->GetLong("leaf", 0, 10, 0), 1);

        clsStream moved = std::move(s);   // moving hands over the whole tree
        clsStream other;
        other = std::move(moved);         // and assignment frees the old one
        other = Parse("x = 1");
        EXPECT_EQ(other.GetLong("x", 0, 10, 0), 1);
    }
    {
        // The same depth fully closed, read by a single item and then freed by Reset.
        for (int i = 0; i < depth; ++i) text.push_back("}");
        text.push_back("after = 2");
        LineList lines(text);
        clsStreamItem item;
        item.ParseData(lines);
        EXPECT_EQ(item.ItemType, clsStreamItem::SubStream_);
        EXPECT_THAT(Lines(lines), ElementsAre("after = 2"));
        clsStream holder;
        holder.Items.push_back(std::move(item));
        holder.Reset();
        EXPECT_TRUE(holder.Items.empty());
    }
}

TEST(StreamDepth, DeepStreamsWorkOnASmallStack) {
    // Writing is quadratic in the depth because of the indentation, so it uses fewer levels.
    constexpr int depth = 4000;
    std::vector<std::string> written;
    std::size_t leftover = 1;
    bool sameAgain = false;
    OnSmallStack([&] {
        std::vector<std::string> text(depth, "k = {");
        LineList lines(std::move(text));
        auto s = std::make_unique<clsStream>();
        s->ParseData(lines);
        LineList out;
        s->WriteData(out, 0);
        written = Lines(out);
        LineList again(written);
        clsStream t;
        t.ParseData(again);
        leftover = again.size();
        LineList out2;
        t.WriteData(out2, 0);
        sameAgain = Lines(out2) == written;
        s.reset();
    });
    ASSERT_EQ(written.size(), 2u * depth);
    EXPECT_EQ(written[0], "k = {");
    EXPECT_EQ(written[depth - 1], std::string(2 * (depth - 1), ' ') + "k = {");
    EXPECT_EQ(written[depth], std::string(2 * (depth - 1), ' ') + "}");
    EXPECT_EQ(written.back(), "}");
    EXPECT_EQ(leftover, 0u);
    EXPECT_TRUE(sameAgain);
}
