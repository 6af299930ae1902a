// The rules by which other programs hand projects to the running instance.
#include <gtest/gtest.h>

#include "app/desktop/ShellRules.h"

using namespace ov;

// The open switch is read with the command line (StartupTest).
TEST(ShellRules, ExecuteStringsAndDroppedFiles) {
    // The form other programs send; names with quotes or none go through the instance tests.
    EXPECT_EQ(ParseExecuteString("[O(\"/home/a/house.ovp\")]").value_or("-"), "/home/a/house.ovp");
    EXPECT_EQ(MakeExecuteString("/home/a/house.ovp"), "[O(\"/home/a/house.ovp\")]");
    // No inner quotes, overlapping markers, a lower-case letter, anything after or inside.
    for (const std::string& bad : std::initializer_list<std::string>{
             "[O(/home/a/house.ovp)]", "[O(\")]", "[o(\"x\")]", "[O(\"x\")] ", "", std::string("[O(\"\0\")]x", 9)})
        EXPECT_FALSE(ParseExecuteString(bad)) << bad;
    // A project by its last dotted piece, in any case; with no dot the whole name is that piece.
    for (const char* yes : {"/home/a/HOUSE.OvP", "/home/a/my.house.v2.ovp", "ovp"}) EXPECT_TRUE(IsProjectDrop(yes));
    for (const char* no : {"/home/a/house.ovp.bak", "/home/a/house.fnl", "/home/a/house.", ""})
        EXPECT_FALSE(IsProjectDrop(no)) << no;
}
