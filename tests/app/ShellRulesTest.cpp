// The rules by which other programs hand projects to the running instance.

#include <gtest/gtest.h>

#include "app/desktop/ShellRules.h"

using namespace ov;

TEST(ShellRules, ExecuteStringsNameAFileOnlyBetweenBothMarkers) {
    EXPECT_EQ(ParseExecuteString("[O(\"/home/a/house.ovp\")]"), std::optional<std::string>("/home/a/house.ovp"));
    EXPECT_EQ(ParseExecuteString(MakeExecuteString("/tmp/with \"quote\".ovp")),
              std::optional<std::string>("/tmp/with \"quote\".ovp"));
    EXPECT_EQ(ParseExecuteString("[O(\"\")]"), std::optional<std::string>(""));
    EXPECT_FALSE(ParseExecuteString("[O(/home/a/house.ovp)]")); // no inner quotes
    EXPECT_FALSE(ParseExecuteString("[O(\")]"));                // the markers overlap
    EXPECT_FALSE(ParseExecuteString("[o(\"x\")]"));             // the letter is upper case
    EXPECT_FALSE(ParseExecuteString("[O(\"x\")] "));
    EXPECT_FALSE(ParseExecuteString(""));
    EXPECT_FALSE(ParseExecuteString(std::string("[O(\"\0\")]x", 9)));
}

TEST(ShellRules, DroppedFilesAreProjectsByTheirLastDottedPiece) {
    EXPECT_TRUE(IsProjectDrop("/home/a/house.ovp"));
    EXPECT_TRUE(IsProjectDrop("/home/a/HOUSE.OvP"));
    EXPECT_TRUE(IsProjectDrop("/home/a/my.house.v2.ovp"));
    EXPECT_TRUE(IsProjectDrop("ovp")); // no dot: the whole name is the last piece
    EXPECT_FALSE(IsProjectDrop("/home/a/house.ovp.bak"));
    EXPECT_FALSE(IsProjectDrop("/home/a/house.fnl"));
    EXPECT_FALSE(IsProjectDrop("/home/a/house."));
    EXPECT_FALSE(IsProjectDrop(""));
}

TEST(ShellRules, TheOpenCommandSwitchInAnyCase) {
    EXPECT_TRUE(StartsWithDdeSwitch("-DDE"));
    EXPECT_TRUE(StartsWithDdeSwitch("-dde /tmp/a.ovp"));
    EXPECT_TRUE(StartsWithDdeSwitch("-DdEx"));
    EXPECT_FALSE(StartsWithDdeSwitch("-DD"));
    EXPECT_FALSE(StartsWithDdeSwitch(" -DDE"));
    EXPECT_FALSE(StartsWithDdeSwitch(""));
}
