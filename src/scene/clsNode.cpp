#include "scene/clsNode.h"

#include "io/NumberedItems.h"
#include "io/clsStream.h"
#include "scene/AppState.h"
#include "shapes/clsBezier.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsFunction.h"
#include "shapes/clsLine.h"
#include "paint/clsView.h"
#include "platform/Desktop.h"

#include <string_view>
#include <vector>

namespace ov {

namespace {

constexpr std::string_view kChildPrefix = "Child";

// Empty children made in one tree for numbers missing between and after the child
// records. A file that skips a few numbers gets its empty children; one that names a child
// a hundred million, or nests many groups with absurd counts, gets every child it holds
// but not millions of empty ones.
constexpr std::int64_t kMaxEmptyChildren = 100000;
// Reading a node takes a microsecond or so: Esc is looked at a few hundred times a second.
constexpr std::uint32_t kNodesPerAbortCheck = 2048;

// What CreateSubStream does for a key the record does not hold yet, without searching for it.
clsStream& AppendSubStream(clsStream& record, std::string_view key) {
    clsStreamItem& item = record.Items.emplace_back();
    item.SetKey(key);
    item.SetSubStream(std::make_unique<clsStream>());
    return *item.SubStream;
}

} // namespace

clsNode::clsNode() {
    Key = "key" + std::to_string(++App().NodeKeyCounter);
    ClearNode();
}

clsNode::~clsNode() { ReleaseChildren(); }

void clsNode::ReleaseChildren() {
    // Frees the subtree one node at a time: neither deep nesting nor long sibling lists
    // make the destruction recurse.
    std::vector<std::unique_ptr<clsNode>> pending;
    auto take = [&pending](clsNode& n) {
        for (std::unique_ptr<clsNode> c = std::move(n.firstChild_); c;) {
            std::unique_ptr<clsNode> next = std::move(c->nextSibling_);
            pending.push_back(std::move(c));
            c = std::move(next);
        }
        n.lastChild_ = nullptr;
    };
    take(*this);
    while (!pending.empty()) {
        std::unique_ptr<clsNode> n = std::move(pending.back());
        pending.pop_back();
        take(*n);
    }
}

void clsNode::ClearNode() {
    ReleaseChildren();
    parent_ = nullptr;
    prevSibling_ = nullptr;
    Expanded = Hidden = Selected = ShowVanishPoint = false;
    RotateX = RotateY = RotateZ = 0;
}

clsLine* clsNode::GetLine() const { return NodeType == Line ? dynamic_cast<clsLine*>(Object.get()) : nullptr; }

std::unique_ptr<IShape> clsNode::MakeObject(std::int32_t type) {
    switch (type) {
    case Line: return std::make_unique<clsLine>();
    case Ellipse: return std::make_unique<clsEllipse>();
    case Bezier: return std::make_unique<clsBezier>();
    case Function: return std::make_unique<clsFunction>();
    default: return nullptr;
    }
}

int clsNode::GetHeight() const {
    int height = 0;
    std::vector<std::pair<const clsNode*, int>> pending{{this, 0}};
    while (!pending.empty()) {
        const auto [n, level] = pending.back();
        pending.pop_back();
        if (level > height) height = level;
        for (const clsNode* c = n->FirstChild(); c; c = c->NextSibling()) pending.push_back({c, level + 1});
    }
    return height;
}

bool clsNode::WithinReadableDepth() const {
    std::vector<std::pair<const clsNode*, int>> pending{{this, GetDepth()}};
    while (!pending.empty()) {
        const auto [n, level] = pending.back();
        pending.pop_back();
        if ((n->NodeType == Group || n->NodeType == Root) && level >= MaxDepth) return false;
        for (const clsNode* c = n->FirstChild(); c; c = c->NextSibling()) pending.push_back({c, level + 1});
    }
    return true;
}

int clsNode::GetDepth() const {
    int depth = 0;
    for (const clsNode* p = parent_; p; p = p->parent_) ++depth;
    return depth;
}

std::int32_t clsNode::GetTreeImage() const {
    switch (NodeType) {
    case Root: return 1;
    case Line: return Hidden ? 3 : 2;
    case Group: return Hidden ? 5 : 4;
    case Ellipse: return Hidden ? 7 : 6;
    case Bezier: return Hidden ? 9 : 8;
    case Function: return Hidden ? 11 : 10;
    default: return 0;
    }
}

clsNode* clsNode::FindNode(const std::string& key) {
    if (Key == key) return this;
    for (clsNode* c = FirstChild(); c; c = c->NextSibling())
        if (clsNode* hit = c->FindNode(key)) return hit;
    return nullptr;
}

clsNode* clsNode::GetSelection(std::unique_ptr<clsNode>& holder) {
    std::vector<clsNode*> selected;
    for (clsNode* c = FirstChild(); c; c = c->NextSibling())
        if (c->Selected) selected.push_back(c);
    if (selected.size() == 1) return selected[0];
    if (selected.size() > 1) {
        holder = std::make_unique<clsNode>();
        holder->NodeType = Selection;
        holder->SelectionList = std::move(selected);
        return holder.get();
    }
    for (clsNode* c = FirstChild(); c; c = c->NextSibling())
        if (clsNode* s = c->GetSelection(holder)) return s;
    return nullptr;
}

bool clsNode::NodePresent(std::int32_t type) const {
    if (IsSelection()) {
        for (const clsNode* m : SelectionList)
            if (m->NodeType == type) return true;
        for (const clsNode* m : SelectionList)
            if (m->NodePresent(type)) return true;
        return false;
    }
    if (NodeType == type) return true;
    for (const clsNode* c = FirstChild(); c; c = c->NextSibling())
        if (c->NodeType == type) return true;
    for (const clsNode* c = FirstChild(); c; c = c->NextSibling())
        if (c->NodePresent(type)) return true;
    return false;
}

void clsNode::SetLinePoints(double x1, double y1, double z1, double x2, double y2, double z2) {
    auto line = std::make_unique<clsLine>();
    line->Segment->StartPoint.SetPoint(x1, y1, z1);
    line->Segment->EndPoint.SetPoint(x2, y2, z2);
    Object = std::move(line);
}

void clsNode::SetBezierPoints(const clsPoint3D& p0, const clsPoint3D& p1, const clsPoint3D& p2, const clsPoint3D& p3) {
    auto curve = std::make_unique<clsBezier>();
    curve->Point1 = p0;
    curve->Point2 = p1;
    curve->Point3 = p2;
    curve->Point4 = p3;
    Object = std::move(curve);
}

std::int32_t clsNode::GetChildCount() const {
    std::int32_t n = 0;
    for (const clsNode* c = FirstChild(); c; c = c->NextSibling()) ++n;
    return n;
}

std::string clsNode::GetNodeName() const {
    if (!Name.empty()) return Name;
    switch (NodeType) {
    case Root: return "Root";
    case Line: return "Line";
    case Group: return "Group of " + std::to_string(GetChildCount()) + " objects";
    case Ellipse: return "Ellipse";
    case Bezier: return "Curve";
    case Function: return "Function";
    default: return "";
    }
}

void clsNode::Delete() {
    if (IsSelection()) {
        const std::vector<clsNode*> members = SelectionList;
        SelectionList.clear();
        for (clsNode* m : members) m->Delete();
        return;
    }
    ReleaseChildren();
    std::unique_ptr<clsNode> self = Detach(); // destroys this node when it had a parent
}

std::unique_ptr<clsNode> clsNode::Detach() {
    if (!parent_) return nullptr;
    clsNode* parent = parent_;
    clsNode* prev = prevSibling_;
    std::unique_ptr<clsNode> self = prev ? std::move(prev->nextSibling_) : std::move(parent->firstChild_);
    std::unique_ptr<clsNode> next = std::move(nextSibling_);
    if (next) next->prevSibling_ = prev;
    else parent->lastChild_ = prev;
    if (prev) prev->nextSibling_ = std::move(next);
    else parent->firstChild_ = std::move(next);
    parent_ = nullptr;
    prevSibling_ = nullptr;
    return self;
}

void clsNode::LinkAfter(clsNode* previous, std::unique_ptr<clsNode> node) {
    clsNode* raw = node.get();
    std::unique_ptr<clsNode>& slot = previous ? previous->nextSibling_ : firstChild_;
    raw->nextSibling_ = std::move(slot);
    if (raw->nextSibling_) raw->nextSibling_->prevSibling_ = raw;
    else lastChild_ = raw;
    raw->prevSibling_ = previous;
    raw->parent_ = this;
    slot = std::move(node);
}

clsNode* clsNode::AddChild(std::unique_ptr<clsNode> node) {
    clsNode* raw = node.get();
    LinkAfter(lastChild_, std::move(node));
    return raw;
}

clsNode* clsNode::InsertChildBefore(std::unique_ptr<clsNode> node, clsNode* reference) {
    clsNode* raw = node.get();
    LinkAfter(reference ? reference->prevSibling_ : lastChild_, std::move(node));
    return raw;
}

clsNode* clsNode::InsertChildAfter(std::unique_ptr<clsNode> node, clsNode* reference) {
    clsNode* raw = node.get();
    LinkAfter(reference, std::move(node));
    return raw;
}

void clsNode::BindToScene(clsSceneSettings* scene) {
    for (auto& member : ClonedMembers) member->BindToScene(scene);
    if (Object) Object->BindToScene(scene);
    for (clsNode* c = FirstChild(); c; c = c->NextSibling()) c->BindToScene(scene);
}

void clsNode::Ungroup(bool all) {
    if (all) {
        for (clsNode* c = FirstChild(); c;) {
            clsNode* next = c->NextSibling();
            if (c->NodeType == Group) c->Ungroup(true);
            c = next;
        }
    }
    clsNode* parent = parent_;
    if (!parent) return;
    while (clsNode* c = FirstChild()) parent->InsertChildBefore(c->Detach(), this);
    Delete();
}

bool clsNode::EliminateExtraGroups() {
    bool changed = false;
    for (clsNode* c = FirstChild(); c;) {
        clsNode* next = c->NextSibling();
        changed = c->EliminateExtraGroups() || changed;
        c = next;
    }
    if (NodeType != Group || !parent_) return changed;
    const std::int32_t count = GetChildCount();
    if (count == 0) {
        Delete();
        return true;
    }
    if (count == 1) {
        Ungroup(false);
        return true;
    }
    return changed;
}

bool clsNode::SetSelected(bool value) {
    bool changed = false;
    if (IsSelection()) {
        for (clsNode* m : SelectionList) changed = m->SetSelected(value) || changed;
        return changed;
    }
    for (clsNode* c = FirstChild(); c; c = c->NextSibling()) changed = c->SetSelected(value) || changed;
    if (NodeType != Root && Selected != value) {
        Selected = value;
        changed = true;
    }
    return changed;
}

bool clsNode::IsVisible() const {
    if (IsSelection()) return SelectionList.empty() || !SelectionList.front()->Hidden;
    return !Hidden;
}

bool clsNode::SetVisible(bool value) {
    bool changed = false;
    if (IsSelection()) {
        for (clsNode* m : SelectionList) changed = m->SetVisible(value) || changed;
        return changed;
    }
    for (clsNode* c = FirstChild(); c; c = c->NextSibling()) changed = c->SetVisible(value) || changed;
    if (NodeType != Root && Hidden != !value) {
        Hidden = !value;
        changed = true;
    }
    return changed;
}

void clsNode::SetShowVanishPoint(bool value) {
    if (IsSelection()) {
        for (clsNode* m : SelectionList) m->SetShowVanishPoint(value);
        return;
    }
    for (clsNode* c = FirstChild(); c; c = c->NextSibling()) c->SetShowVanishPoint(value);
    if (NodeType == Line) ShowVanishPoint = value;
}

bool clsNode::VanishPointVisible() const {
    if (IsSelection()) {
        for (const clsNode* m : SelectionList)
            if (m->VanishPointVisible()) return true;
        return false;
    }
    for (const clsNode* c = FirstChild(); c; c = c->NextSibling())
        if (c->VanishPointVisible()) return true;
    return NodeType == Line && ShowVanishPoint;
}

void clsNode::Translate(double dx, double dy, double dz) {
    if (IsSelection()) {
        for (clsNode* m : SelectionList) m->Translate(dx, dy, dz);
        return;
    }
    for (clsNode* c = FirstChild(); c; c = c->NextSibling()) c->Translate(dx, dy, dz);
    if (Object) Object->Translate(dx, dy, dz);
}

clsNode* clsNode::FindObjectInRect(const clsRect& rect, const clsView& view) {
    for (clsNode* c = FirstChild(); c; c = c->NextSibling())
        if (clsNode* hit = c->FindObjectInRect(rect, view)) return hit;
    if (Hidden || !IsObject()) return nullptr;
    for (const clsLine3D& segment : BreakApart()) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        view.ConvertPointToScreen(segment.StartPoint, x1, y1);
        view.ConvertPointToScreen(segment.EndPoint, x2, y2);
        clsLine2D onScreen(x1, y1, x2, y2);
        if (rect.ClipLine(onScreen)) return this;
    }
    return nullptr;
}

SegmentList clsNode::BreakApart() const { return Object && IsObject() ? Object->BreakApart() : SegmentList{}; }

std::unique_ptr<clsNode> clsNode::CloneCopy(bool keepKeys) const {
    auto copy = std::make_unique<clsNode>();
    copy->NodeType = NodeType;
    if (IsSelection()) {
        for (const clsNode* m : SelectionList) {
            copy->ClonedMembers.push_back(m->CloneCopy(keepKeys));
            copy->SelectionList.push_back(copy->ClonedMembers.back().get());
        }
        return copy;
    }
    copy->Name = Name;
    copy->ShowVanishPoint = ShowVanishPoint;
    copy->Selected = Selected;
    copy->Hidden = Hidden;
    if (keepKeys) copy->Key = Key;
    if (NodeType == Root || NodeType == Group) {
        for (const clsNode* c = FirstChild(); c; c = c->NextSibling()) copy->AddChild(c->CloneCopy(keepKeys));
    } else if (Object) {
        copy->Object = Object->Clone();
    }
    copy->RotateX = RotateX;
    copy->RotateY = RotateY;
    copy->RotateZ = RotateZ;
    copy->Expanded = Expanded;
    return copy;
}

void clsNode::ExtendBBox(clsPoint3D& min, clsPoint3D& max, const clsPoint3D& p) {
    min.SetPoint(std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z));
    max.SetPoint(std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z));
}

void clsNode::GetBBoxInt(clsPoint3D& min, clsPoint3D& max, bool& first) const {
    if (IsSelection()) {
        for (const clsNode* m : SelectionList) m->GetBBoxInt(min, max, first);
        return;
    }
    if (NodeType == Group) {
        for (const clsNode* c = FirstChild(); c; c = c->NextSibling()) c->GetBBoxInt(min, max, first);
        return;
    }
    if (!IsObject()) return; // the root contributes no box by itself
    // Every segment's start is the previous one's end: the points of the outline suffice.
    const SegmentList segments = BreakApart();
    for (std::size_t i = 0; segments.size() > 0 && i < segments.PointCount(); ++i) {
        const clsPoint3D p = segments.Point(i);
        if (first) {
            min = p;
            max = p;
            first = false;
        } else {
            ExtendBBox(min, max, p);
        }
    }
}

void clsNode::GetBBox(clsPoint3D& min, clsPoint3D& max) const {
    bool first = true;
    GetBBoxInt(min, max, first);
}

bool clsNode::GetChildrenBBox(clsPoint3D& min, clsPoint3D& max) const {
    bool first = true;
    for (const clsNode* c = FirstChild(); c; c = c->NextSibling()) c->GetBBoxInt(min, max, first);
    return !first;
}

clsPoint3D clsNode::GetCenterPosition() const {
    clsPoint3D min, max;
    GetBBox(min, max);
    return {(min.x + max.x) * 0.5, (min.y + max.y) * 0.5, (min.z + max.z) * 0.5};
}

clsPoint3D clsNode::GetSize() const {
    clsPoint3D min, max;
    GetBBox(min, max);
    return {max.x - min.x, max.y - min.y, max.z - min.z};
}

void clsNode::RotateRel(double ax, double ay, double az, const clsPoint3D* center) {
    if (IsSelection()) {
        for (clsNode* m : SelectionList) m->RotateRel(ax, ay, az, center);
        return;
    }
    RotateX += ax;
    RotateY += ay;
    RotateZ += az;
    if (IsObject() && Object) Object->RotateRel(ax, ay, az, center);
    else if (NodeType == Group)
        for (clsNode* c = FirstChild(); c; c = c->NextSibling()) c->RotateRel(ax, ay, az, center);
}

void clsNode::SetRotation(double x, double y, double z, const clsPoint3D* center) {
    RotateRel(x - RotateX, y - RotateY, z - RotateZ, center);
}

void clsNode::Stretch(double sx, double sy, double sz, const clsPoint3D* center) {
    if (IsSelection()) {
        for (clsNode* m : SelectionList) m->Stretch(sx, sy, sz, center);
        return;
    }
    if (IsObject() && Object) Object->Stretch(sx, sy, sz, center);
    else if (NodeType == Group)
        for (clsNode* c = FirstChild(); c; c = c->NextSibling()) c->Stretch(sx, sy, sz, center);
}

bool clsNode::HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
    if (IsObject()) return Selected && !Hidden && Object && Object->HitTestNode(view, rect, hits, stopAtFirst);
    bool hit = false;
    auto visit = [&](clsNode* n) {
        if (n->HitTestNode(view, rect, hits, stopAtFirst)) hit = true;
        return hit && (stopAtFirst || !hits);
    };
    if (IsSelection()) {
        for (clsNode* m : SelectionList)
            if (visit(m)) break;
    } else {
        for (clsNode* c = FirstChild(); c; c = c->NextSibling())
            if (visit(c)) break;
    }
    return hit;
}

clsNode::ReadResult clsNode::ReadData(const clsStream& record, clsSceneSettings* scene, std::uint32_t* tooDeepLine) {
    TreeReading reading{kMaxEmptyChildren};
    const bool complete = ReadNode(record, scene, 0, reading);
    if (tooDeepLine) *tooDeepLine = reading.tooDeepLine;
    return reading.stopped ? ReadResult::Stopped : complete ? ReadResult::Complete : ReadResult::TooDeep;
}

bool clsNode::ReadNode(const clsStream& record, clsSceneSettings* scene, int depth, TreeReading& reading) {
    ClearNode();
    Name = record.GetString("Name", "");
    NodeType = record.GetLong("NodeType", 0, 5, 0);
    Hidden = record.GetBool("Hidden", false);
    ShowVanishPoint = record.GetBool("ShowVanishPoint", false);
    RotateX = record.GetDouble("RotateX", false, 0, 0, 0);
    RotateY = record.GetDouble("RotateY", false, 0, 0, 0);
    RotateZ = record.GetDouble("RotateZ", false, 0, 0, 0);
    Object.reset();
    if (NodeType == Root || NodeType == Group) {
        if (depth >= MaxDepth) return false;
        return ReadChildren(record, scene, depth, reading);
    }
    Object = MakeObject(NodeType);
    if (Object) {
        if (NodeType != Line) Object->BindToScene(scene);
        Object->ReadData(record.GetSubStream(ObjectRecordKey(NodeType)));
    }
    return true;
}

bool clsNode::ReadChildren(const clsStream& record, clsSceneSettings* scene, int depth, TreeReading& reading) {
    // A missing child record reads as an empty node; every record present is read.
    const std::int32_t count = record.GetLong("ChildCount", 0, 1073741824, 0);
    const std::vector<NumberedItem> present = NumberedItems(record, kChildPrefix, count);
    static const clsStream missing;
    bool complete = true;
    std::int64_t& emptyLeft = reading.emptyLeft;
    auto add = [&](const clsStream& childRecord, std::uint32_t line) {
        if (reading.stopped || (++reading.nodes % kNodesPerAbortCheck == 0 && CheckAbort(true))) {
            reading.stopped = true;
            return;
        }
        auto child = std::make_unique<clsNode>();
        const bool read = child->ReadNode(childRecord, scene, depth + 1, reading);
        // The deepest group fails first, so the first line kept is its own.
        if (!read && reading.tooDeepLine == 0) reading.tooDeepLine = line;
        complete = read && complete;
        AddChild(std::move(child));
    };
    std::int64_t next = 1; // the number of the next child
    for (const NumberedItem& p : present) {
        for (; next < p.Number && emptyLeft > 0; ++next, --emptyLeft) add(missing, 0);
        const clsStreamItem& item = *p.Item;
        add(item.ItemType == clsStreamItem::SubStream_ && item.SubStream ? *item.SubStream : missing, item.Line);
        next = std::int64_t{p.Number} + 1;
    }
    for (const std::int32_t end = HonouredCount(present, count); next <= end && emptyLeft > 0; ++next, --emptyLeft)
        add(missing, 0);
    return complete;
}

void clsNode::WriteData(clsStream& record) const {
    // In a record that starts out empty no child key exists before its child is written.
    const bool fresh = record.Items.empty();
    record.SetString("Name", Name);
    record.SetLong("NodeType", NodeType);
    record.SetBool("Hidden", Hidden);
    record.SetBool("ShowVanishPoint", ShowVanishPoint);
    record.SetDouble("RotateX", RotateX);
    record.SetDouble("RotateY", RotateY);
    record.SetDouble("RotateZ", RotateZ);
    if (NodeType == Root || NodeType == Group) {
        const std::int32_t count = GetChildCount();
        record.SetLong("ChildCount", count);
        if (fresh) record.Items.reserve(record.Items.size() + static_cast<std::size_t>(count));
        std::int32_t i = 0;
        for (const clsNode* c = FirstChild(); c; c = c->NextSibling()) {
            std::string key = std::string(kChildPrefix) + std::to_string(++i);
            c->WriteData(fresh ? AppendSubStream(record, std::move(key)) : record.CreateSubStream(key));
        }
        return;
    }
    if (IsObject() && Object) Object->WriteData(record.CreateSubStream(ObjectRecordKey(NodeType)));
}

const char* clsNode::ObjectRecordKey(std::int32_t type) {
    static const char* const kObjectKeys[] = {"", "Line", "", "Ellipse", "Bezier", "Function"};
    return type >= 0 && type <= Function ? kObjectKeys[type] : "";
}

} // namespace ov
