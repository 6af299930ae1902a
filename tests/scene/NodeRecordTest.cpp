// How a group finds its children's records and writes them: by the keys Child1, Child2, ...
// exactly as a search for each key would, whatever order and duplicates the file has.

#include <gtest/gtest.h>

#include <string>

#include "io/LineList.h"
#include "io/clsStream.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "shapes/clsLine.h"

using namespace ov;

namespace {

clsStream Parse(const std::string& text) {
    LineList lines = LineList::FromText(text);
    clsStream record;
    record.ParseData(lines);
    return record;
}

std::string Text(const clsStream& record) {
    LineList lines;
    record.WriteData(lines, 0);
    return lines.ToText("\n");
}

} // namespace

TEST(NodeRecord, ChildrenAreFoundByTheirExactKeyFirstItemFirst) {
    const clsStream record = Parse("NodeType = 2\n"
                                   "ChildCount = 6\n"
                                   "Child01 = {\nName = leading zero\nNodeType = 1\n}\n" // not Child1
                                   "Child3 = {\nName = third\n}\n"
                                   "Child1 = {\nName = first\nNodeType = 2\n}\n"
                                   "Child1 = {\nName = second first\n}\n"              // a later duplicate
                                   "Child2 = 5\n"                                      // a value hides ...
                                   "Child2 = {\nName = hidden\n}\n"                    // ... the record
                                   "child4 = {\nName = lower case\n}\n"
                                   "Child5 = {\nName = fifth\nNodeType = 1\n}\n"
                                   "Child6x = {\nName = not a number\n}\n");
    clsNode group;
    ASSERT_TRUE(group.ReadData(record, nullptr));
    ASSERT_EQ(group.GetChildCount(), 6);
    const clsNode* c = group.FirstChild();
    EXPECT_EQ(c->Name, "first");
    EXPECT_EQ(c->NodeType, clsNode::Group);
    c = c->NextSibling();
    EXPECT_EQ(c->Name, ""); // the first Child2 holds a value: an empty child
    EXPECT_EQ(c->NodeType, clsNode::Root);
    c = c->NextSibling();
    EXPECT_EQ(c->Name, "third");
    c = c->NextSibling();
    EXPECT_EQ(c->Name, ""); // keys are case-sensitive
    c = c->NextSibling();
    EXPECT_EQ(c->Name, "fifth");
    EXPECT_EQ(c->NodeType, clsNode::Line);
    c = c->NextSibling();
    EXPECT_EQ(c->Name, "");
}

TEST(NodeRecord, ChildCountIsHonouredUpToAMarginBeyondTheLastRecord) {
    // Every record present is read, in number order; an absurd count gives empty children
    // only up to a margin of 1000 beyond the last record.
    const clsStream record = Parse("ChildCount = 1000000\nChild4 = {\nName = four\n}\nChild2 = {\nName = two\n}\n");
    clsNode root;
    ASSERT_TRUE(root.ReadData(record, nullptr));
    ASSERT_EQ(root.GetChildCount(), 1004);
    EXPECT_EQ(root.FirstChild()->NextSibling()->Name, "two");
    EXPECT_EQ(root.FirstChild()->NextSibling()->NextSibling()->NextSibling()->Name, "four");
    EXPECT_EQ(root.LastChild()->Name, "");
}

TEST(NodeRecord, LargeGroupsKeepTheirOrderThroughWriteAndRead) {
    clsNode group;
    group.NodeType = clsNode::Group;
    for (int i = 1; i <= 1234; ++i) {
        auto line = std::make_unique<clsNode>();
        line->NodeType = clsNode::Line;
        line->Name = "L" + std::to_string(i);
        line->SetLinePoints(i, 0, 0, 0, i, 0);
        group.AddChild(std::move(line));
    }
    clsStream written;
    group.WriteData(written);
    const std::string text = Text(written);
    EXPECT_NE(text.find("Child1234 = {\n"), std::string::npos);

    clsNode read;
    ASSERT_TRUE(read.ReadData(Parse(text), nullptr));
    ASSERT_EQ(read.GetChildCount(), 1234);
    int i = 0;
    for (const clsNode* c = read.FirstChild(); c; c = c->NextSibling()) {
        ++i;
        ASSERT_EQ(c->Name, "L" + std::to_string(i));
        ASSERT_NE(c->GetLine(), nullptr);
        EXPECT_EQ(c->GetLine()->Segment->StartPoint.x, i);
    }
    clsStream again;
    read.WriteData(again);
    EXPECT_EQ(Text(again), text);
}

TEST(NodeRecord, WritingIntoARecordThatHoldsItemsReplacesThem) {
    clsNode group;
    group.NodeType = clsNode::Group;
    auto child = std::make_unique<clsNode>();
    child->Name = "new";
    group.AddChild(std::move(child));

    clsStream record;
    record.SetString("Child1", "old value");
    record.SetString("Other", "kept");
    group.WriteData(record);
    int childItems = 0;
    for (const clsStreamItem& item : record.Items)
        if (item.Key == "Child1") {
            ++childItems;
            EXPECT_EQ(item.ItemType, clsStreamItem::SubStream_);
        }
    EXPECT_EQ(childItems, 1);
    EXPECT_EQ(record.GetSubStream("Child1").GetString("Name", ""), "new");
    EXPECT_EQ(record.GetString("Other", ""), "kept");
}

TEST(NodeRecord, KeysStayUniqueBeyondTwoBillionNodes) {
    // Every node made (undo snapshots and copies included) draws a key; a long session with
    // a large project goes past the range of 32 bits.
    App().NodeKeyCounter = 2147483647;
    clsNode a, b;
    EXPECT_EQ(a.Key, "key2147483648");
    EXPECT_EQ(b.Key, "key2147483649");
}
