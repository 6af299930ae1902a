#include <gtest/gtest.h>

#include "io/clsStream.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "shapes/clsLine.h"

using namespace ov;

namespace {

std::unique_ptr<clsNode> LineNode(double x1, double y1, double z1, double x2, double y2, double z2,
                                  const std::string& name = "") {
    auto n = std::make_unique<clsNode>();
    n->NodeType = clsNode::Line;
    n->Name = name;
    n->SetLinePoints(x1, y1, z1, x2, y2, z2);
    return n;
}

std::unique_ptr<clsNode> GroupNode(const std::string& name = "") {
    auto n = std::make_unique<clsNode>();
    n->NodeType = clsNode::Group;
    n->Name = name;
    return n;
}

std::string Names(const clsNode& parent) {
    std::string s;
    for (const clsNode* c = parent.FirstChild(); c; c = c->NextSibling()) s += (s.empty() ? "" : ",") + c->GetNodeName();
    return s;
}

void ExpectLinked(const clsNode& parent) {
    const clsNode* prev = nullptr;
    for (const clsNode* c = parent.FirstChild(); c; c = c->NextSibling()) {
        EXPECT_EQ(c->Parent(), &parent);
        EXPECT_EQ(c->PrevSibling(), prev);
        prev = c;
    }
    EXPECT_EQ(parent.LastChild(), prev);
}

} // namespace

TEST(Node, KeysAreUniqueAndConsecutive) {
    clsNode a, b;
    const int ka = std::stoi(a.Key.substr(3)), kb = std::stoi(b.Key.substr(3));
    EXPECT_EQ(a.Key.substr(0, 3), "key");
    EXPECT_EQ(kb, ka + 1);
    auto line = LineNode(0, 0, 0, 1, 1, 1);
    EXPECT_EQ(line->Clone()->Key, line->Key);
    EXPECT_NE(line->Duplicate()->Key, line->Key);
}

TEST(Node, ChildListsStayConsistent) {
    clsNode root;
    clsNode* a = root.AddChild(LineNode(0, 0, 0, 1, 0, 0, "A"));
    clsNode* c = root.AddChild(LineNode(0, 0, 0, 1, 0, 0, "C"));
    root.InsertChildBefore(LineNode(0, 0, 0, 1, 0, 0, "B"), c);
    root.InsertChildBefore(LineNode(0, 0, 0, 1, 0, 0, "First"), a);
    root.InsertChildAfter(LineNode(0, 0, 0, 1, 0, 0, "Last"), c);
    EXPECT_EQ(Names(root), "First,A,B,C,Last");
    ExpectLinked(root);
    std::unique_ptr<clsNode> detached = a->Detach();
    EXPECT_EQ(detached.get(), a);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(Names(root), "First,B,C,Last");
    ExpectLinked(root);
    root.LastChild()->Delete();
    root.FirstChild()->Delete();
    EXPECT_EQ(Names(root), "B,C");
    ExpectLinked(root);
    EXPECT_EQ(root.FindNode(c->Key), c);
    EXPECT_EQ(root.FindNode("nothing"), nullptr);
}

TEST(Node, DefaultNamesAndImages) {
    auto g = GroupNode();
    g->AddChild(LineNode(0, 0, 0, 1, 0, 0));
    g->AddChild(LineNode(0, 0, 0, 1, 0, 0));
    g->AddChild(GroupNode())->AddChild(LineNode(0, 0, 0, 1, 0, 0));
    EXPECT_EQ(g->GetNodeName(), "Group of 3 objects");
    EXPECT_EQ(g->GetTreeImage(), 4);
    g->Hidden = true;
    EXPECT_EQ(g->GetTreeImage(), 5);
    EXPECT_EQ(clsNode().GetNodeName(), "Root");
    EXPECT_EQ(LineNode(0, 0, 0, 1, 1, 1)->GetNodeName(), "Line");
    EXPECT_EQ(LineNode(0, 0, 0, 1, 1, 1, "Ridge")->GetNodeName(), "Ridge");
}

TEST(Node, SelectionAsOneNode) {
    clsNode root;
    clsNode* group = root.AddChild(GroupNode("G"));
    group->AddChild(LineNode(0, 0, 0, 1, 0, 0));
    clsNode* a = root.AddChild(LineNode(0, 0, 0, 1, 0, 0, "A"));
    clsNode* b = root.AddChild(LineNode(0, 0, 0, 1, 0, 0, "B"));
    std::unique_ptr<clsNode> holder;
    EXPECT_EQ(root.GetSelection(holder), nullptr);
    group->Selected = true;
    EXPECT_EQ(root.GetSelection(holder), group); // a selected group whose children are not
    group->Selected = false;
    b->Selected = true;
    a->Selected = true;
    clsNode* s = root.GetSelection(holder);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->IsSelection());
    EXPECT_EQ(holder.get(), s);
    ASSERT_EQ(s->SelectionList.size(), 2u);
    EXPECT_EQ(s->SelectionList[0], a); // in tree order
    s->Translate(1, 0, 0);
    EXPECT_EQ(a->GetLine()->Segment->StartPoint.x, 1);
    EXPECT_EQ(group->FirstChild()->GetLine()->Segment->StartPoint.x, 0);
    EXPECT_TRUE(root.NodePresent(clsNode::Group));
    EXPECT_TRUE(s->NodePresent(clsNode::Line));
    EXPECT_FALSE(s->NodePresent(clsNode::Group));
    s->Delete();
    EXPECT_EQ(Names(root), "G");
}

TEST(Node, UngroupKeepsOrderAndPlace) {
    for (bool all : {false, true}) {
        clsNode root;
        root.AddChild(LineNode(0, 0, 0, 1, 0, 0, "Before"));
        clsNode* g = root.AddChild(GroupNode("G"));
        root.AddChild(LineNode(0, 0, 0, 1, 0, 0, "After"));
        g->AddChild(LineNode(0, 0, 0, 1, 0, 0, "L"));
        clsNode* inner = g->AddChild(GroupNode("Inner"));
        inner->AddChild(LineNode(0, 0, 0, 1, 0, 0, "X"));
        inner->AddChild(LineNode(0, 0, 0, 1, 0, 0, "Y"));
        g->Ungroup(all);
        EXPECT_EQ(Names(root), all ? "Before,L,X,Y,After" : "Before,L,Inner,After");
        ExpectLinked(root);
    }
}

TEST(Node, EliminateExtraGroups) {
    clsNode root;
    root.AddChild(GroupNode("Empty"));
    root.AddChild(GroupNode("One"))->AddChild(LineNode(0, 0, 0, 1, 0, 0, "Only"));
    clsNode* two = root.AddChild(GroupNode("Two"));
    two->AddChild(LineNode(0, 0, 0, 1, 0, 0, "P"));
    two->AddChild(LineNode(0, 0, 0, 1, 0, 0, "Q"));
    EXPECT_TRUE(root.EliminateExtraGroups());
    EXPECT_EQ(Names(root), "Only,Two");
    EXPECT_FALSE(root.EliminateExtraGroups());
}

TEST(Node, SelectionAndVisibilityFlags) {
    clsNode root;
    clsNode* g = root.AddChild(GroupNode());
    clsNode* l = g->AddChild(LineNode(0, 0, 0, 1, 0, 0));
    EXPECT_TRUE(root.SetVisible(false));
    EXPECT_FALSE(root.Hidden);
    EXPECT_TRUE(g->Hidden);
    EXPECT_TRUE(l->Hidden);
    EXPECT_FALSE(root.SetVisible(false)); // nothing changed
    EXPECT_TRUE(root.SetSelected(true));
    EXPECT_FALSE(root.Selected);
    EXPECT_TRUE(l->Selected);
    g->SetShowVanishPoint(true);
    EXPECT_TRUE(l->ShowVanishPoint);
    EXPECT_FALSE(g->ShowVanishPoint);
    EXPECT_TRUE(root.VanishPointVisible());
}

TEST(Node, RotationIsAccumulated) {
    clsNode root;
    clsNode* l = root.AddChild(LineNode(1, 0, 0, 2, 0, 0));
    const clsPoint3D c(0, 0, 0);
    l->SetRotation(0, 0, 90, &c);
    l->SetRotation(0, 0, 90, &c); // already there: no further turn
    EXPECT_EQ(l->RotateZ, 90);
    EXPECT_NEAR(l->GetLine()->Segment->StartPoint.y, 1, 1e-12);
    EXPECT_NEAR(l->GetLine()->Segment->StartPoint.x, 0, 1e-12);
    root.RotateRel(0, 0, 90, &c); // the root only counts
    EXPECT_EQ(root.RotateZ, 90);
    EXPECT_NEAR(l->GetLine()->Segment->StartPoint.y, 1, 1e-12);
}

TEST(Node, BoundingBoxes) {
    clsNode root;
    clsPoint3D min(7, 7, 7), max(8, 8, 8);
    root.GetBBox(min, max);
    EXPECT_EQ(min.x, 7); // the root alone contributes nothing
    clsNode* l = root.AddChild(LineNode(1, 5, -2, 3, 0, 4));
    l->Hidden = true;
    clsNode* g = root.AddChild(GroupNode());
    g->AddChild(LineNode(-1, 1, 1, 0, 1, 1));
    clsPoint3D gmin, gmax;
    // The root's box comes from its children through a selection or group; here ask each.
    bool first = true;
    for (const clsNode* c = root.FirstChild(); c; c = c->NextSibling()) c->GetBBoxInt(gmin, gmax, first);
    EXPECT_EQ(gmin.x, -1);
    EXPECT_EQ(gmax.y, 5); // hidden objects count
    EXPECT_EQ(gmin.z, -2);
    const clsPoint3D size = l->GetSize();
    EXPECT_EQ(size.x, 2);
    EXPECT_EQ(l->GetCenterPosition().z, 1);
}

TEST(Node, RecordsRoundTripAndLenientReading) {
    clsNode root;
    root.Name = "Document";
    clsNode* g = root.AddChild(GroupNode("House"));
    g->AddChild(LineNode(0, 0, 0, 1, 2, 3, "Ridge"))->ShowVanishPoint = true;
    g->RotateX = 15;
    root.AddChild(LineNode(4, 5, 6, 7, 8, 9))->Hidden = true;
    clsStream s;
    root.WriteData(s);
    EXPECT_EQ(s.Items[0].Key, "Name");
    EXPECT_EQ(s.Items[7].Key, "ChildCount");
    EXPECT_EQ(s.Items[8].Key, "Child1");

    clsNode read;
    EXPECT_TRUE(read.ReadData(s, nullptr));
    EXPECT_EQ(Names(read), "House,Line");
    const clsNode* house = read.FirstChild();
    EXPECT_EQ(house->RotateX, 15);
    EXPECT_NE(house->Key, g->Key); // fresh keys
    const clsNode* ridge = house->FirstChild();
    EXPECT_TRUE(ridge->ShowVanishPoint);
    EXPECT_EQ(ridge->GetLine()->Segment->EndPoint.z, 3);
    EXPECT_TRUE(house->NextSibling()->Hidden);

    clsStream odd;
    odd.SetLong("NodeType", 9);
    clsNode n;
    n.ReadData(odd, nullptr);
    EXPECT_EQ(n.NodeType, clsNode::Function);
    clsStream negative;
    negative.SetLong("ChildCount", -2);
    n.ReadData(negative, nullptr);
    EXPECT_EQ(n.GetChildCount(), 0);
    clsStream missingChild;
    missingChild.SetLong("ChildCount", 2);
    missingChild.CreateSubStream("Child1").SetLong("NodeType", 1);
    n.ReadData(missingChild, nullptr);
    ASSERT_EQ(n.GetChildCount(), 2);
    EXPECT_EQ(n.LastChild()->NodeType, clsNode::Root); // an empty record
    clsStream huge;
    huge.SetLong("ChildCount", 1000000000);
    n.ReadData(huge, nullptr);
    EXPECT_EQ(n.GetChildCount(), 1000);
    clsStream& far = huge.CreateSubStream("Child100000000");
    far.SetString("Name", "far");
    far.SetLong("NodeType", clsNode::Group);
    far.SetLong("ChildCount", 1000000000);
    n.ReadData(huge, nullptr);
    EXPECT_EQ(n.GetChildCount(), 100001); // the far child after a bounded run of empty ones
    EXPECT_EQ(n.LastChild()->Name, "far");
    EXPECT_EQ(n.LastChild()->GetChildCount(), 0); // the bound holds for the whole tree
}

TEST(Node, AbsurdNestingIsCutOffAndFreedSafely) {
    // Build a record nested far deeper than any drawing needs.
    clsStream top;
    clsStream* level = &top;
    for (int i = 0; i < 5000; ++i) {
        level->SetLong("NodeType", 2);
        level->SetLong("ChildCount", 1);
        level = &level->CreateSubStream("Child1");
    }
    clsNode n;
    EXPECT_FALSE(n.ReadData(top, nullptr));
    int depth = 0;
    for (const clsNode* c = &n; c->FirstChild(); c = c->FirstChild()) ++depth;
    EXPECT_EQ(depth, clsNode::MaxDepth);

    // A long sibling list and a deep chain built directly are freed without recursion.
    auto deep = std::make_unique<clsNode>();
    clsNode* at = deep.get();
    for (int i = 0; i < 200000; ++i) at = at->AddChild(GroupNode());
    for (int i = 0; i < 200000; ++i) deep->AddChild(LineNode(0, 0, 0, 1, 1, 1));
    deep.reset();
    SUCCEED();
}
