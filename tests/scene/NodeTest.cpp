#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "RecordText.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "shapes/clsLine.h"

using namespace ov;
using ov::records::Parse;

namespace {

std::unique_ptr<clsNode> GroupNode(const std::string& name = "", std::int32_t type = clsNode::Group) {
    auto n = std::make_unique<clsNode>();
    std::tie(n->NodeType, n->Name) = std::tie(type, name);
    return n;
}

std::unique_ptr<clsNode> LineNode(const std::string& name = "", double x1 = 0, double y1 = 0, double z1 = 0,
                                  double x2 = 1, double y2 = 0, double z2 = 0) {
    auto n = GroupNode(name, clsNode::Line);
    n->SetLinePoints(x1, y1, z1, x2, y2, z2);
    return n;
}

std::string Names(const clsNode& parent) {
    std::string s;
    for (const clsNode* c = parent.FirstChild(); c; c = c->NextSibling()) s += (s.empty() ? "" : ",") + c->GetNodeName();
    return s;
}

void ExpectLinked(const clsNode& parent) {
    const clsNode* prev = nullptr;
    for (const clsNode* c = parent.FirstChild(); c; prev = c, c = c->NextSibling())
        EXPECT_TRUE(c->Parent() == &parent && c->PrevSibling() == prev) << c->GetNodeName();
    EXPECT_EQ(parent.LastChild(), prev);
}

double StartX(const clsNode* n) { return n->GetLine()->Segment->StartPoint.x; }

} // namespace

TEST(Node, KeysStayWithClonesAndUniqueBeyondTwoBillionNodes) {
    auto line = LineNode();
    EXPECT_EQ(line->Clone()->Key, line->Key);
    EXPECT_NE(line->Duplicate()->Key, line->Key);
    App().NodeKeyCounter = 2147483647;
    clsNode a, b;
    EXPECT_EQ(a.Key + " " + b.Key, "key2147483648 key2147483649");
}

TEST(Node, ChildListsStayConsistent) {
    clsNode root;
    clsNode* a = root.AddChild(LineNode("A"));
    clsNode* c = root.AddChild(LineNode("C"));
    root.InsertChildBefore(LineNode("B"), c);
    root.InsertChildBefore(LineNode("First"), a);
    root.InsertChildAfter(LineNode("Last"), c);
    EXPECT_EQ(Names(root), "First,A,B,C,Last");
    ExpectLinked(root);
    EXPECT_EQ(a->Detach()->Parent(), nullptr);
    root.LastChild()->Delete();
    root.FirstChild()->Delete();
    EXPECT_EQ(Names(root), "B,C");
    ExpectLinked(root);
    EXPECT_TRUE(root.FindNode(c->Key) == c && !root.FindNode("nothing"));
}

TEST(Node, SelectionAsOneNodeInTreeOrder) {
    clsNode root;
    clsNode* group = root.AddChild(GroupNode("G"));
    group->AddChild(LineNode());
    clsNode* a = root.AddChild(LineNode("A"));
    clsNode* b = root.AddChild(LineNode("B"));
    std::unique_ptr<clsNode> holder;
    EXPECT_EQ(root.GetSelection(holder), nullptr);
    group->Selected = true;
    EXPECT_EQ(root.GetSelection(holder), group); // a selected group whose children are not
    group->Selected = false;
    b->Selected = a->Selected = true;
    clsNode* s = root.GetSelection(holder);
    ASSERT_TRUE(s && s->IsSelection() && holder.get() == s);
    EXPECT_EQ(s->SelectionList, (std::vector<clsNode*>{a, b}));
    s->Translate(1, 0, 0);
    EXPECT_TRUE(StartX(a) == 1 && StartX(group->FirstChild()) == 0);
    EXPECT_TRUE(root.NodePresent(clsNode::Group) && !s->NodePresent(clsNode::Group));
    s->Delete();
    EXPECT_EQ(Names(root), "G");
}

TEST(Node, UngroupAndExtraGroupRemovalKeepOrderAndPlace) {
    for (bool all : {false, true}) {
        clsNode root;
        root.AddChild(LineNode("Before"));
        clsNode* g = root.AddChild(GroupNode());
        root.AddChild(LineNode("After"));
        g->AddChild(LineNode("L"));
        clsNode* inner = g->AddChild(GroupNode("Inner"));
        inner->AddChild(LineNode("X"));
        inner->AddChild(LineNode("Y"));
        EXPECT_EQ(Names(root), "Before,Group of 2 objects,After"); // an unnamed group counts its own children
        g->Ungroup(all);
        EXPECT_EQ(Names(root), all ? "Before,L,X,Y,After" : "Before,L,Inner,After");
        ExpectLinked(root);
    }
    clsNode root; // groups of one or none are removed
    root.AddChild(GroupNode("Empty"));
    root.AddChild(GroupNode("One"))->AddChild(LineNode("Only"));
    clsNode* two = root.AddChild(GroupNode("Two"));
    two->AddChild(LineNode("P"));
    two->AddChild(LineNode("Q"));
    EXPECT_TRUE(root.EliminateExtraGroups());
    EXPECT_EQ(Names(root), "Only,Two");
    EXPECT_FALSE(root.EliminateExtraGroups());
}

TEST(Node, FlagsReachTheLeavesRotationAccumulatesBoxesCountHiddenObjects) {
    clsNode root;
    clsNode* g = root.AddChild(GroupNode());
    clsNode* l = g->AddChild(LineNode("", 1, 5, -2, 3, 0, 4));
    EXPECT_TRUE(root.SetVisible(false) && root.SetSelected(true));
    EXPECT_FALSE(root.SetVisible(false)); // nothing changed
    EXPECT_TRUE(!root.Hidden && l->Hidden && !root.Selected && l->Selected);
    g->SetShowVanishPoint(true);
    EXPECT_TRUE(l->ShowVanishPoint && !g->ShowVanishPoint && root.VanishPointVisible());

    clsPoint3D min(7, 7, 7), max(8, 8, 8);
    clsNode().GetBBox(min, max);
    EXPECT_EQ(min.x, 7); // the root alone contributes nothing
    root.AddChild(LineNode("", -1, 1, 1, 0, 1, 1));
    bool first = true;
    for (const clsNode* c = root.FirstChild(); c; c = c->NextSibling()) c->GetBBoxInt(min, max, first);
    EXPECT_EQ(std::vector<double>({min.x, max.y, min.z, l->GetSize().x, l->GetCenterPosition().z}),
              std::vector<double>({-1, 5, -2, 2, 1})); // hidden objects count

    clsNode r;
    clsNode* turned = r.AddChild(LineNode("", 1, 0, 0, 2, 0, 0));
    const clsPoint3D c(0, 0, 0);
    turned->SetRotation(0, 0, 90, &c);
    turned->SetRotation(0, 0, 90, &c); // already there: no further turn
    EXPECT_NEAR(StartX(turned), 0, 1e-12);
    r.RotateRel(0, 0, 90, &c); // the root only counts
    EXPECT_TRUE(r.RotateZ == 90 && std::abs(turned->GetLine()->Segment->StartPoint.y - 1) < 1e-12);
}

TEST(NodeRecord, ChildrenAreFoundByTheirExactKeyFirstItemFirst) {
    clsNode group;
    ASSERT_EQ(clsNode::ReadResult::Complete, group.ReadData(Parse("NodeType = 2|ChildCount = 6|Child01 = {|Name = leading zero|NodeType = 1|}|"
                                     "Child3 = {|Name = third|}|Child1 = {|Name = first|NodeType = 2|}|"
                                     "Child1 = {|Name = second first|}|Child2 = 5|Child2 = {|Name = hidden|}|"
                                     "child4 = {|Name = lower case|}|Child5 = {|Name = fifth|NodeType = 1|}|"
                                     "Child6x = {|Name = not a number|}"), // Child2: the value hides the record
                               nullptr));
    EXPECT_EQ(Names(group), "first,Root,third,Root,fifth,Root");
    EXPECT_EQ(group.FirstChild()->NodeType, clsNode::Group);
    EXPECT_EQ(group.LastChild()->PrevSibling()->NodeType, clsNode::Line);
}

TEST(NodeRecord, NodeTypesAndChildCountsAreBoundedForTheWholeTree) {
    const std::tuple<const char*, int, std::string> cases[] = {
        {"NodeType = 9|ChildCount = -2", 0, ""}, {"ChildCount = 2|Child1 = {|NodeType = 1|}", 2, "Root"},
        {"ChildCount = 1000000000", 1000, "Root"},
        // every record present is read; empty children only up to 1000 beyond the last one
        {"ChildCount = 1000000|Child4 = {|Name = four|}|Child2 = {|Name = two|}", 1004, "Root"},
        // a bounded run of empty children before the far one, whose own count finds the budget spent
        {"ChildCount = 1000000000|Child100000000 = {|Name = far|NodeType = 2|ChildCount = 1000000000|}", 100001,
         "far"},
    };
    for (const auto& [text, count, last] : cases) {
        clsNode n;
        n.ReadData(Parse(text), nullptr);
        ASSERT_EQ(n.GetChildCount(), count) << text;
        if (count == 0) {
            EXPECT_EQ(n.NodeType, clsNode::Function);
            continue;
        }
        EXPECT_TRUE(n.LastChild()->GetNodeName() == last && n.LastChild()->GetChildCount() == 0) << text;
        EXPECT_EQ(n.FirstChild()->NextSibling()->GetNodeName(), count == 1004 ? "two" : "Root") << text;
    }
}

TEST(NodeRecord, LargeGroupsKeepTheirOrderThroughWriteAndRead) {
    auto group = GroupNode();
    for (int i = 1; i <= 1234; ++i) group->AddChild(LineNode("L" + std::to_string(i), i));
    const std::string text = records::RecordText(*group);
    clsNode read;
    ASSERT_EQ(read.ReadData(Parse(text), nullptr), clsNode::ReadResult::Complete);
    ASSERT_EQ(read.GetChildCount(), 1234);
    int i = 0;
    for (const clsNode* c = read.FirstChild(); c; c = c->NextSibling()) {
        ASSERT_EQ(c->Name, "L" + std::to_string(++i));
        EXPECT_EQ(StartX(c), i);
    }
    EXPECT_EQ(records::RecordText(read), text);
}

TEST(NodeRecord, WritingIntoARecordThatHoldsItemsReplacesThem) {
    auto group = GroupNode();
    group->AddChild(LineNode("new"));
    clsStream record = Parse("Child1 = old value|Other = kept");
    group->WriteData(record);
    const auto isChild1 = [](const clsStreamItem& i) { return i.Key() == "Child1"; };
    EXPECT_EQ(std::count_if(record.Items.begin(), record.Items.end(), isChild1), 1);
    EXPECT_EQ(record.GetSubStream("Child1").GetString("Name", "") + record.GetString("Other", ""), "newkept");
}

TEST(NodeRecord, AbsurdNestingIsCutOffAndFreedSafely) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += i < 5000 ? "NodeType = 2|ChildCount = 1|Child1 = {|" : "}|";
    clsNode n;
    EXPECT_EQ(n.ReadData(Parse(text), nullptr), clsNode::ReadResult::TooDeep);
    EXPECT_EQ(n.GetHeight(), clsNode::MaxDepth);
    auto deep = std::make_unique<clsNode>();
    clsNode* at = deep.get();
    for (int i = 0; i < 200000; ++i) at = at->AddChild(GroupNode());
    for (int i = 0; i < 200000; ++i) deep->AddChild(LineNode());
    deep.reset(); // freed without recursion
}
