#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>

#include "io/clsOldStream.h"

using namespace ov;

TEST(OldStream, FieldsSplitAtEverySemicolonAndTypedValuesReadBackClamped) {
    const struct { const char* text; std::vector<std::string> values; } cases[] = {
        {"", {}}, {";x", {"", "x"}}, {"a;;b", {"a", "", "b"}}, {"a;", {"a", ""}}, {";", {"", ""}},
        {"a;b;c=d;{;}", {"a", "b", "c=d", "{", "}"}}, {" a ; b ", {" a ", " b "}}, {"a\\\\b\\n", {"a\\\\b\\n"}},
    };
    for (const auto& c : cases) {
        clsOldStream p, b;
        p.ParseString(c.text);
        EXPECT_EQ(p.Values, c.values) << c.text;
        for (const auto& v : c.values) b.SetString(v);
        EXPECT_EQ(b.BuildString(), c.text);
    }
    clsOldStream w, r; // so a semicolon inside a value splits it; records parsed one after another append
    w.SetString("a;b");
    r.ParseString(w.BuildString());
    EXPECT_EQ(r.GetString(), "a");
    r.ParseString("c");
    EXPECT_EQ(r.Values, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(r.GetString(), "b");
    r.Reset();
    EXPECT_TRUE(r.Values.empty() && r.ReadPosition == 0);
    w.Reset();
    for (const double d : {0.5, 1e15, 0.00001, 0.1 + 0.2, DBL_MAX}) w.SetDouble(d);
    w.SetLong(INT32_MIN);
    w.SetBool(true);
    w.SetBool(false);
    EXPECT_EQ(w.BuildString(), ".5;1E+15;1E-05;.3;1.79769313486232E+308;-2147483648;1;0");
    r.ParseString(w.BuildString() + ";12;2.5;3.5;;-2.5;abc;1E+99;&H5;-1;.5;0.0;x1");
    EXPECT_EQ(r.GetDouble(false, 0, 0), 0.5);
    EXPECT_EQ(r.GetDouble(true, 0, 10), 10); // clamped
    EXPECT_EQ(r.GetDouble(true, 1, 10), 1);
    EXPECT_EQ(r.GetDouble(false, 5, 6), 0.3); // bounds ignored without clamp
    EXPECT_EQ(r.GetDouble(false, 0, 0), DBL_MAX);
    EXPECT_EQ(r.GetLong(INT32_MIN, INT32_MAX), INT32_MIN);
    EXPECT_TRUE(r.GetBool());
    EXPECT_FALSE(r.GetBool());
    for (const auto& [lo, hi, expected] : {std::tuple{1, 10, 10}, {1, 10, 2}, {1, 10, 4}, {1, 10, 1}, {-10, 10, -2},
                                           {-10, 10, 0}, {INT32_MIN, INT32_MAX, INT32_MAX}, {10, 1, 1}})
        EXPECT_EQ(r.GetLong(lo, hi), expected) << "value " << r.ReadPosition;
    for (const bool expected : {true, true, false, false}) EXPECT_EQ(r.GetBool(), expected) << r.ReadPosition;
    // Past the end: "" for texts, 0 (before clamping) for numbers, false for booleans.
    EXPECT_EQ(r.GetString(), "");
    EXPECT_EQ(r.GetLong(1, 10), 1);
    EXPECT_EQ(r.GetDouble(true, 2, 3), 2);
    EXPECT_FALSE(r.GetBool());
    EXPECT_EQ(r.GetVal(true), "0");
    EXPECT_EQ(r.GetVal(false), "");
    EXPECT_EQ(r.ReadPosition, 20);
}
