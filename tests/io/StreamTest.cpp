#include <gtest/gtest.h>

#include <pthread.h>

#include <cfloat>
#include <functional>
#include "io/LineList.h"
#include "io/NumberText.h"
#include "io/clsStream.h"
#include "StreamChecks.h"

using namespace ov;

namespace {

std::string Joined(const LineList& list) {
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) out.append(i ? "|" : "").append(list[i]);
    return out;
}

// The stream's lines as written at the given depth, joined by "|".
std::string Written(const clsStream& s, std::int32_t depth = 0) {
    LineList out;
    s.WriteData(out, depth);
    return Joined(out);
}

clsStream Parse(std::string_view text) {
    LineList lines = LineList::FromText(text);
    clsStream s;
    s.ParseData(lines);
    return s;
}

// Runs f on a thread with a small stack, so that recursion proportional to the nesting depth overflows it.
void OnSmallStack(std::function<void()> f) {
    pthread_attr_t attr;
    pthread_t thread;
    ASSERT_TRUE(pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, 256 * 1024) == 0);
    auto run = [](void* arg) -> void* { return (*static_cast<std::function<void()>*>(arg))(), nullptr; };
    ASSERT_EQ(pthread_create(&thread, &attr, run, &f), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

} // namespace

TEST(LineList, SplitsAtEveryKindOfLineEndNumbersItsLinesAndJoinsTheUnreadOnes) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"a\n", "a"}, {"a\r\nb\nc", "a|b|c"}, {"\n\r\n\n", "||"}, {"a\rb\r\r\n", "a|b|"}, {"a\r", "a"},
        {"a\rb\rc", "a|b|c"}, {"\r\r\n\n\r", "|||"}, {std::string("a\0b\nc", 5), std::string("a\0b|c", 5)},
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(Joined(LineList::FromText(text)), lines);
    LineList numbered = LineList::FromText("a\rb\r\nc");
    numbered.pop_front();
    EXPECT_EQ(numbered.FrontNumber(), 2u);
    EXPECT_EQ(numbered.EndsWithLineEnd(), false);
    numbered.KeepFirst(2);
    EXPECT_EQ(Joined(numbered), "a|b"); // the line read is kept too, unread again
    EXPECT_EQ(numbered.EndsWithLineEnd(), true);
    LineList list = LineList::FromText("a\nb\n");
    list.pop_front(), list.push_back("c");
    EXPECT_EQ(list.ToText(), "b\r\nc\r\n"); // only the unread lines, with CR LF unless told otherwise
    EXPECT_EQ(list.ToText("\n"), "b\nc\n");
}

TEST(StreamWrite, IndentTwoBlanksPerLevelSkipEmptyItemsAndUseTheFileEncodings) {
    clsStream s;
    s.Items.emplace_back(); // a new item: no key, empty
    s.SetString("Name", "Document");
    clsStream& a = s.CreateSubStream("A");
    a.CreateSubStream("Empty"), a.CreateSubStream("B").SetBool("On", true);
    a.SetDouble("X", -0.125), a.SetLong("Min", INT32_MIN);
    s.SetString("Blank", "");
    EXPECT_EQ(Written(s, 1), "  Name = Document|  A = {|    Empty = {|    }|    B = {|      On = 1|    }|"
                             "    X = -.125|    Min = -2147483648|  }|  Blank = ");
}

TEST(StreamEscapes, FourCharactersAreEscapedAndUnescapingMatchesTheSuccessiveReplacementsOnAllShortTexts) {
    const std::pair<std::string, std::string> both[] = {
        {"a\\b", "a\\\\b"}, {"\\n", "\\\\n"}, {"line\r\nbreak", "line\\r\\nbreak"}, {"tab\there", "tab\\there"},
        {"\\\r", "\\\\\\r"}, {" = { } ", " = { } "}, {"", ""},
    };
    for (const auto& [text, escaped] : both)
        EXPECT_TRUE(clsStream::EscapeText(text) == escaped && clsStream::UnescapeText(escaped) == text) << escaped;
    EXPECT_EQ(clsStream::UnescapeText("\\N\\R\\T"), "\\N\\R\\T");
    // The rule is defined as five whole-text replacements; the reader does it in one scan. A NUL stored
    // in the text reads as a backslash.
    const char alphabet[] = {'\\', 'r', 'n', 't', '\0', 'x', '\r'};
    const int n = sizeof alphabet;
    for (int length = 0, combinations = 1; length <= 6; ++length, combinations *= n) {
        for (int code = 0; code < combinations; ++code) {
            std::string s;
            for (int i = 0, c = code; i < length; ++i, c /= n) s.push_back(alphabet[c % n]);
            ASSERT_EQ(clsStream::UnescapeText(s), checks::ReferenceUnescape(s)) << length << ", " << code;
            ASSERT_TRUE(s.find('\0') != s.npos || clsStream::UnescapeText(clsStream::EscapeText(s)) == s) << code;
        }
    }
}

TEST(StreamParse, TextsReadAsTheirRulesSay) {
    const std::pair<const char*, const char*> cases[] = {
        {"Name = Doc\r\nTree = {\r\n  N = 1\r\n  Sub = {\r\n    Deep = x\r\n  }\r\n  After = 2\r\n}\r\nLast = 3\r\n",
         "Name = Doc|Tree = {|  N = 1|  Sub = {|    Deep = x|  }|  After = 2|}|Last = 3"},
        {"\n   \nstray words\n= no key\n   =   \nA = 1\n\nB = 2\n{\nC = 3\n", "A = 1|B = 2|C = 3"}, // no item
        {"   Key   =   spaced value   \n\tTabKey = v\t\nPlain=tight\nE =\n", // trims blanks, not tabs
         "Key = spaced value|\tTabKey = v\t|Plain = tight|E = "},
        {"A = {\n\t}\nB = 1\n   }   \nC = 2\n", "A = {|  B = 1|}|C = 2"}, // "}" closes with blanks, not tabs
        {"a=b = c=d\nx == y\n", "a = b = c=d|x = = y"},                     // the first "=" ends the key
        {"A = 1\r\nB = {\n  C = x\r\n}\nD = ", "A = 1|B = {|  C = x|}|D = "},  // CR LF and LF alike
        {"A = 1\nB = x\nA = 2\n", "A = 1|B = x|A = 2"},                     // duplicates are kept
        {"A = 1\n  }  \nB = 2\n", "A = 1"},                                  // a closing line at the top ends it
        {"A = {\n  B = {\n    C = 1\n  }\n  D = 2\n", "A = {|  B = {|    C = 1|  }|  D = 2|}"}, // unclosed
        {"        A = {\nB = 1\n       }\n    C = 2\n", "A = {|  B = 1|}|C = 2"}, // indentation means nothing
        {"A =   {   \nB = {x\nC = x{\n}\nD = 1\n", "A = {|  B = {x|  C = x{|}|D = 1"}, // only "{" opens a stream
        {"Empty = {\n}\nAfter = 1", "Empty = {|}|After = 1"},
    };
    for (const auto& [text, written] : cases) EXPECT_EQ(Written(Parse(text)), written) << text;
    LineList lines = LineList::FromText("A = 1\n  }  \nB = 2\n");
    clsStream s;
    s.ParseData(lines), s.ParseData(lines); // the closing line stays in the list: parsing again reads nothing ...
    EXPECT_EQ(Joined(lines), "  }  |B = 2");
    lines.pop_front(), s.ParseData(lines); // ... and after removing it the rest is appended
    EXPECT_EQ(Written(s), "A = 1|B = 2");
}

TEST(StreamParse, WhatCannotBeStoredComesBackChanged) {
    for (const char* text : {"a\\b", "first\r\nsecond", "\ttabbed\t", "x = y", "{ }", "}", "\\\\\\", "trailing\\",
                             "\xc3\xa4\xc3\xb6", "Haus = {Nord}"}) // these come back as they were, at any level
        EXPECT_EQ(checks::CheckSetters(text), "") << text;
    clsStream odd;
    odd.SetString("k=1", "v");             // a key with "=" is cut at it
    odd.SetString("  Key  ", "  text  ");  // outer blanks are lost ...
    odd.SetString("Tabs", "\t text \t");   // ... unless escaped tabs protect them
    odd.SetString("Brace", "{");           // the text "{" opens a stream that swallows what follows
    odd.SetString("Next", "1");
    LineList out;
    odd.WriteData(out, 0);
    EXPECT_EQ(Written(Parse(out.ToText())), "k = 1 = v|Key = text|Tabs = \\t text \\t|Brace = {|  Next = 1|}");
}

TEST(StreamGetters, DefaultsOnlyForMissingKeysAndTheFirstItemWins) {
    const std::string text = "Empty =\nText = abc\nSub = {\n}\nFive = 5\nEsc = a\\\\b\\tc\nA = 1\nA = {\n"
                             "  B = 2\n}\nS = {\n}\nS = 1\nT = 1E-300\nH = .5\nZ = 0.0\nN = -1\n";
    // Every getter reads the number or the unescaped text of the key's first item, a stream's the default.
    EXPECT_EQ(checks::CheckStructuredStream(text), "");
    const clsStream s = Parse(text);
    EXPECT_EQ(s.GetVal("Empty", true, "d") + s.GetVal("Empty", false, "d") + s.GetVal("Sub", false, "x"), "0x");
    EXPECT_EQ(s.GetVal("text", false, "dflt"), "dflt"); // keys are case-sensitive
    EXPECT_EQ(s.GetDouble("Five", true, 10, 1, 2.5), 1); // reversed range ends at the maximum
    EXPECT_EQ(s.GetDouble("Missing", true, 0, 1, 2.5), 1); // the default is clamped as well ...
    EXPECT_EQ(s.GetDouble("Missing", false, 0, 0, 0.1 + 0.2), 0.3); // ... and goes through the file encoding
    EXPECT_EQ(s.GetString("Missing", "x\\\\y\\n"), "x\\y\n");
    EXPECT_TRUE(s.GetBool("T", false) && s.GetBool("H", false) && !s.GetBool("Z", true) && s.GetBool("Sub", true));
    EXPECT_TRUE(s.GetLong("S", 0, 10, 7) == 7 && s.GetLong("Other", 1, 10, 4) == 4);
    EXPECT_TRUE(Parse("P = 3.5").GetLong("P", 1, 10, 4) == 4 && clsStream().GetLong("P", 1, 10, 40) == 10);
}

TEST(StreamSetters, ExistingKeysKeepTheirPlaceWhateverTheyHeld) {
    clsStream s = Parse("A = 1\nB = x\nA = 2\n");
    s.SetString("A", "3"), s.CreateSubStream("B").SetLong("In", 1), s.SetString("C", "3");
    EXPECT_EQ(Written(s), "A = 3|B = {|  In = 1|}|A = 2|C = 3");
    s.SetString("B", "now a value"), s.CreateSubStream("A").SetString("X", "y"), s.SetLong("C", 30);
    EXPECT_EQ(Written(s), "A = {|  X = y|}|B = now a value|A = 2|C = 30");
    EXPECT_EQ(s.GetLong("A", 0, 10, 7), 7); // the getters look at the first item, now a stream
    EXPECT_TRUE(s.CreateSubStream("A").Items.empty()); // a fresh empty stream replaces the old one
}

TEST(StreamDepth, DeepStreamsParseWalkWriteAndFreeOnASmallStack) {
    OnSmallStack([] {
        constexpr int depth = 200000;
        std::vector<std::string> text(depth, "k = {");
        text.push_back("leaf = 1");
        LineList unclosed(text);
        clsStream s;
        s.ParseData(unclosed); // unclosed all the way down
        const clsStream* p = &s;
        int levels = 0;
        for (; !p->Items.empty() && p->Items[0].ItemType == clsStreamItem::SubStream_; ++levels)
            p = p->Items[0].SubStream.get();
        EXPECT_TRUE(levels == depth && p->GetLong("leaf", 0, 10, 0) == 1) << levels;
        clsStream moved = std::move(s); // moving hands over the whole tree, assignment frees the old one
        moved = Parse("x = 1");
        EXPECT_EQ(moved.GetLong("x", 0, 10, 0), 1);
        text.insert(text.end(), depth, "}"); // fully closed, read by a single item and freed by Reset
        text.push_back("after = 2");
        LineList lines(text);
        clsStreamItem item;
        item.ParseData(lines);
        EXPECT_TRUE(item.ItemType == clsStreamItem::SubStream_ && Joined(lines) == "after = 2");
        clsStream holder;
        holder.Items.push_back(std::move(item)), holder.Reset();
        EXPECT_TRUE(holder.Items.empty());
        constexpr int n = 4000; // writing is quadratic in the depth because of the indentation
        LineList deep(std::vector<std::string>(n, "k = {")), out;
        clsStream w, t;
        w.ParseData(deep);
        w.WriteData(out, 0);
        const std::string first = Joined(out);
        EXPECT_EQ(first.size(), 6u * n + 2u * n * (n - 1) + 2 * n - 1); // lines, indents, "|"
        EXPECT_EQ(first.substr(0, 13) + first.substr(first.size() - 6), "k = {|  k = {|  }|}");
        t.ParseData(out);
        EXPECT_TRUE(out.empty() && Written(t) == first);
    });
}
