#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <string>

#include "io/clsOldStream.h"

using namespace ov;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(OldStream, ValuesBuildOneLineAndReadBackInOrder) {
    clsOldStream w;
    w.SetString("f(x)");
    w.SetLong(1);
    w.SetString("x*2");
    EXPECT_EQ(w.BuildString(), "f(x);1;x*2");

    clsOldStream r;
    r.ParseString("f(x);1;x*2");
    EXPECT_EQ(r.GetString(), "f(x)");
    EXPECT_EQ(r.GetLong(0, 10), 1);
    EXPECT_EQ(r.GetString(), "x*2");
    EXPECT_EQ(r.ReadPosition, 3);

    // Past the end: "" for texts, 0 (before clamping) for numbers, false for booleans.
    EXPECT_EQ(r.GetString(), "");
    EXPECT_EQ(r.GetLong(0, 10), 0);
    EXPECT_EQ(r.GetLong(1, 10), 1);
    EXPECT_EQ(r.GetDouble(false, 0, 0), 0);
    EXPECT_EQ(r.GetDouble(true, 2, 3), 2);
    EXPECT_FALSE(r.GetBool());
    EXPECT_EQ(r.GetVal(true), "0");
    EXPECT_EQ(r.GetVal(false), "");
    EXPECT_EQ(r.ReadPosition, 3);
}

TEST(OldStream, EmptyValuesStayEmptyFields) {
    clsOldStream s;
    EXPECT_EQ(s.BuildString(), "");
    s.ParseString("");
    EXPECT_THAT(s.Values, IsEmpty());

    const struct {
        const char* text;
        std::vector<std::string> values;
    } cases[] = {
        {";x", {"", "x"}},
        {";;a", {"", "", "a"}},
        {"a;;b", {"a", "", "b"}},
        {"a;", {"a", ""}},
        {";", {"", ""}},
        {"a;b;c=d;{;}", {"a", "b", "c=d", "{", "}"}},
        {" a ; b ", {" a ", " b "}}, // nothing is trimmed
    };
    for (const auto& c : cases) {
        clsOldStream p;
        p.ParseString(c.text);
        EXPECT_EQ(p.Values, c.values) << c.text;
        EXPECT_EQ(p.BuildString(), c.text);

        clsOldStream b;
        for (const auto& v : c.values) b.SetString(v);
        EXPECT_EQ(b.BuildString(), c.text);
    }

    clsOldStream r;
    r.ParseString(";x");
    EXPECT_EQ(r.GetString(), "");
    EXPECT_EQ(r.GetString(), "x");
}

TEST(OldStream, ASemicolonInAValueSplitsIt) {
    clsOldStream w;
    w.SetString("a;b");
    w.SetString("c");
    clsOldStream r;
    r.ParseString(w.BuildString());
    EXPECT_THAT(r.Values, ElementsAre("a", "b", "c"));
}

TEST(OldStream, GetLongClampsThenRoundsHalvesToEven) {
    clsOldStream r;
    r.ParseString("12;2.5;3.5;0;;-2.5;abc;1E+99;&H5");
    EXPECT_EQ(r.GetLong(1, 10), 10);
    EXPECT_EQ(r.GetLong(1, 10), 2);
    EXPECT_EQ(r.GetLong(1, 10), 4);
    EXPECT_EQ(r.GetLong(1, 10), 1);
    EXPECT_EQ(r.GetLong(1, 10), 1);   // empty reads as 0
    EXPECT_EQ(r.GetLong(-10, 10), -2);
    EXPECT_EQ(r.GetLong(-10, 10), 0);
    EXPECT_EQ(r.GetLong(INT32_MIN, INT32_MAX), INT32_MAX);
    EXPECT_EQ(r.GetLong(10, 1), 1);   // reversed range ends at the maximum
}

TEST(OldStream, TypedValuesUseTheFileEncodings) {
    clsOldStream w;
    w.SetDouble(0.5);
    w.SetDouble(-0.125);
    w.SetDouble(1e15);
    w.SetDouble(0.00001);
    w.SetDouble(0.1 + 0.2);
    w.SetLong(-7);
    w.SetLong(INT32_MIN);
    w.SetBool(true);
    w.SetBool(false);
    w.SetDouble(DBL_MAX);
    EXPECT_EQ(w.BuildString(), ".5;-.125;1E+15;1E-05;.3;-7;-2147483648;1;0;1.79769313486232E+308");

    clsOldStream r;
    r.ParseString(w.BuildString());
    EXPECT_EQ(r.GetDouble(false, 0, 0), 0.5);
    EXPECT_EQ(r.GetDouble(true, -1, 1), -0.125);
    EXPECT_EQ(r.GetDouble(true, 0, 10), 10); // clamped
    EXPECT_EQ(r.GetDouble(true, 1, 10), 1);
    EXPECT_EQ(r.GetDouble(false, 5, 6), 0.3); // bounds ignored without clamp
    EXPECT_EQ(r.GetLong(-10, 10), -7);
    EXPECT_EQ(r.GetLong(INT32_MIN, INT32_MAX), INT32_MIN);
    EXPECT_TRUE(r.GetBool());
    EXPECT_FALSE(r.GetBool());
    EXPECT_EQ(r.GetDouble(false, 0, 0), DBL_MAX);
}

TEST(OldStream, GetBoolIsTrueForEveryNonZeroNumber) {
    clsOldStream r;
    r.ParseString("1;-1;2;.5;0;;abc;0.0;x1");
    for (const bool expected : {true, true, true, true, false, false, false, false, false})
        EXPECT_EQ(r.GetBool(), expected) << "value " << r.ReadPosition;
}

TEST(OldStream, RecordsParsedOneAfterAnotherKeepTheirOwnValues) {
    clsOldStream s;
    s.ParseString("f;1;2");
    s.ParseString("g;3");
    EXPECT_EQ(s.GetString(), "f");
    EXPECT_EQ(s.GetLong(0, 9), 1);
    EXPECT_EQ(s.GetLong(0, 9), 2);
    EXPECT_EQ(s.GetString(), "g");
    s.ParseString("h;4");              // appending after some values were read
    EXPECT_EQ(s.GetLong(0, 9), 3);
    EXPECT_EQ(s.GetString(), "h");
    EXPECT_EQ(s.GetLong(0, 9), 4);
    EXPECT_EQ(s.GetString(), "");

    s.Reset();
    EXPECT_THAT(s.Values, IsEmpty());
    EXPECT_EQ(s.ReadPosition, 0);
    s.ParseString("again");
    EXPECT_EQ(s.GetString(), "again");
}

TEST(OldStream, GetStringReturnsTheTextUnchanged) {
    clsOldStream r;
    r.ParseString("a\\\\b\\n; x = { } ");
    EXPECT_EQ(r.GetString(), "a\\\\b\\n"); // no escapes in this format
    EXPECT_EQ(r.GetString(), " x = { } ");
}
