#pragma once
// The object tree of a scene. The root holds the top level, groups hold further nodes and
// every leaf carries one drawable object. Operations on objects recurse through the tree
// and forward to the object at each leaf. A transient selection node lists several
// selected nodes, without owning them, so that edits can treat a selection as one node.
//
// A node owns its children; parent and sibling links are plain pointers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geometry/clsPoint3D.h"
#include "geometry/clsRect.h"
#include "shapes/IShape.h"

namespace ov {

class clsLine;
class clsSceneSettings;
class clsStream;
class clsView;

class clsNode {
public:
    enum Types : std::int32_t { Root = 0, Line = 1, Group = 2, Ellipse = 3, Bezier = 4, Function = 5, Selection = 6 };
    // Groups nested deeper than this in a file are not read: nobody draws them, and the
    // recursive operations of the tree stay well within the stack.
    static constexpr int MaxDepth = 1000;

    clsNode();
    ~clsNode();
    clsNode(const clsNode&) = delete;
    clsNode& operator=(const clsNode&) = delete;

    clsNode* FirstChild() const { return firstChild_.get(); }
    clsNode* LastChild() const { return lastChild_; }
    clsNode* Parent() const { return parent_; }
    clsNode* NextSibling() const { return nextSibling_.get(); }
    clsNode* PrevSibling() const { return prevSibling_; }

    std::unique_ptr<IShape> Object;     // the drawable object of a leaf
    std::vector<clsNode*> SelectionList; // members of a selection node, not owned
    // The members of a copied selection, which belong to no tree yet: the copy owns them
    // until they are pasted.
    std::vector<std::unique_ptr<clsNode>> ClonedMembers;
    std::int32_t NodeType = Root;
    std::string Name;                   // "" shows the default name of the type
    bool Expanded = false;
    bool Hidden = false;
    std::string Key;                    // "key<n>", unique in the process; not stored
    bool Selected = false;
    bool ShowVanishPoint = false;
    double RotateX = 0, RotateY = 0, RotateZ = 0; // rotation applied so far

    clsLine* GetLine() const;
    bool IsObject() const { return NodeType == Line || NodeType == Ellipse || NodeType == Bezier || NodeType == Function; }

    std::int32_t GetTreeImage() const;
    bool IsSelection() const { return NodeType == Selection; }
    clsNode* FindNode(const std::string& key);
    // The selection as one node: the first node, depth first, that has selected children
    // gives them; one of them is returned itself, several as a new selection node that
    // holder then owns. Null when nothing is selected.
    clsNode* GetSelection(std::unique_ptr<clsNode>& holder);
    bool NodePresent(std::int32_t type) const;
    void SetLinePoints(double x1, double y1, double z1, double x2, double y2, double z2);
    void SetBezierPoints(const clsPoint3D& p0, const clsPoint3D& p1, const clsPoint3D& p2, const clsPoint3D& p3);
    std::int32_t GetChildCount() const;
    std::string GetNodeName() const;
    // Removes the node from its parent (deleting it) after deleting its children; on a
    // selection node, deletes each member. Do not use the node afterwards.
    void Delete();
    // Unlinks the node from its parent and hands it to the caller; the node keeps its
    // children. A node without a parent yields null.
    std::unique_ptr<clsNode> Detach();
    void Ungroup(bool all);
    bool EliminateExtraGroups();
    bool SetSelected(bool value);
    bool IsVisible() const;
    bool SetVisible(bool value);
    void SetShowVanishPoint(bool value);
    bool VanishPointVisible() const;
    void Translate(double dx, double dy, double dz);
    void TranslateByPoint(const clsPoint3D& v) { Translate(v.x, v.y, v.z); }
    clsNode* AddChild(std::unique_ptr<clsNode> node);
    clsNode* InsertChildBefore(std::unique_ptr<clsNode> node, clsNode* reference);
    clsNode* InsertChildAfter(std::unique_ptr<clsNode> node, clsNode* reference);
    // Points the ellipse, Bezier and function objects of this subtree at the scene whose
    // settings and functions they use; every subtree that enters a scene's tree is bound.
    void BindToScene(clsSceneSettings* scene);
    clsNode* FindObjectInRect(const clsRect& rect, const clsView& view);
    SegmentList BreakApart() const;
    std::unique_ptr<clsNode> Duplicate() const { return CloneCopy(false); }
    std::unique_ptr<clsNode> Clone() const { return CloneCopy(true); }
    std::unique_ptr<clsNode> CloneCopy(bool keepKeys) const;
    void GetBBox(clsPoint3D& min, clsPoint3D& max) const;
    // The box of all the node's children, also for the root, which has no box of its own;
    // false (and the box untouched) when they have no points.
    bool GetChildrenBBox(clsPoint3D& min, clsPoint3D& max) const;
    void RotateRel(double ax, double ay, double az, const clsPoint3D* center);
    void SetRotation(double x, double y, double z, const clsPoint3D* center);
    void Stretch(double sx, double sy, double sz, const clsPoint3D* center);
    bool HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst);
    clsPoint3D GetCenterPosition() const;
    clsPoint3D GetSize() const;
    void GetBBoxInt(clsPoint3D& min, clsPoint3D& max, bool& first) const;
    // Reads the node record. TooDeep: groups were nested too deeply to be read completely
    // (the nodes down to the limit are kept). Stopped: the user (or the command line's time
    // limit) stopped a long read; what was read so far is kept, and the caller drops it.
    enum class ReadResult { Complete, TooDeep, Stopped };
    // The file line of the first group too deep lands in tooDeepLine, if given (0 when the
    // record was not read from a file).
    ReadResult ReadData(const clsStream& record, clsSceneSettings* scene, std::uint32_t* tooDeepLine = nullptr);
    void WriteData(clsStream& record) const;

    // Levels below this node (0 for a leaf) and above it (0 for a node without parent).
    int GetHeight() const;
    int GetDepth() const;
    // Whether the tree would read back whole: no group (nor root) of it stands MaxDepth or
    // more levels below the top of its tree, where reading stops.
    bool WithinReadableDepth() const;

    // Makes the empty drawable object of an object type (null for other types).
    static std::unique_ptr<IShape> MakeObject(std::int32_t type);
    // The key of the record that holds the object of an object type ("Line", ...), "" for
    // other types.
    static const char* ObjectRecordKey(std::int32_t type);

private:
    // What one ReadData shares across the tree: the budget of empty children for missing
    // child records, the nodes read (to look for Esc every so often) and whether it stopped.
    struct TreeReading {
        std::int64_t emptyLeft;
        std::uint32_t nodes = 0;
        bool stopped = false;
        std::uint32_t tooDeepLine = 0;
    };
    // ReadData of a node depth levels below the one read first; false when too deep.
    bool ReadNode(const clsStream& record, clsSceneSettings* scene, int depth, TreeReading& reading);
    // The children of a root or group record, read in child order.
    bool ReadChildren(const clsStream& record, clsSceneSettings* scene, int depth, TreeReading& reading);
    void ClearNode();
    void ReleaseChildren();
    void LinkAfter(clsNode* previous, std::unique_ptr<clsNode> node);
    static void ExtendBBox(clsPoint3D& min, clsPoint3D& max, const clsPoint3D& p);

    std::unique_ptr<clsNode> firstChild_;
    clsNode* lastChild_ = nullptr;
    clsNode* parent_ = nullptr;
    std::unique_ptr<clsNode> nextSibling_;
    clsNode* prevSibling_ = nullptr;
};

} // namespace ov
