#include <gtest/gtest.h>

#include <cstdint>

#include "StreamChecks.h"
#include "io/clsOldStream.h"

using namespace ov;

TEST(OldStream, FieldsSplitAtEverySemicolonAndTypedValuesReadBackClamped) {
    // Values split at every ";" and join again; reading past the end gives empty values; records append.
    for (const char* text : {"", ";x", "a;;b", "a;", ";", "a;b;c=d;{;}", " a ; b ", "a\\\\b\\n", "1;&H5;x;;0"})
        EXPECT_EQ(checks::CheckOldStream(text), "") << text;
    clsOldStream w, r; // so a semicolon inside a value splits it
    w.SetString("a;b");
    r.ParseString(w.BuildString());
    EXPECT_TRUE(r.GetString() == "a" && r.Values == std::vector<std::string>({"a", "b"}));
    r.Reset(), w.Reset();
    EXPECT_TRUE(r.Values.empty() && r.ReadPosition == 0);
    w.SetDouble(0.1 + 0.2), w.SetLong(INT32_MIN), w.SetBool(true), w.SetBool(false);
    EXPECT_EQ(w.BuildString(), ".3;-2147483648;1;0");
    r.ParseString(w.BuildString() + ";12;;.5");
    EXPECT_EQ(r.GetDouble(false, 5, 6), 0.3); // bounds ignored without clamp
    EXPECT_EQ(r.GetLong(INT32_MIN, INT32_MAX), INT32_MIN);
    EXPECT_TRUE(r.GetBool() && !r.GetBool());
    EXPECT_EQ(r.GetDouble(true, 1, 10), 10); // clamped
    EXPECT_EQ(r.GetLong(1, 10), 1); // an empty value reads as 0
    EXPECT_TRUE(r.GetBool());
    EXPECT_EQ(r.GetDouble(true, 2, 3), 2); // past the end: 0 before clamping
    EXPECT_EQ(r.GetVal(true) + "|" + r.GetVal(false), "0|");
    EXPECT_EQ(r.ReadPosition, 7);
}
