#include "scene/SceneRecovery.h"

#include <string_view>

#include "io/NumberedItems.h"
#include "io/clsStream.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

constexpr std::int32_t kMaxChildCount = 1073741824; // the largest count the node reader honours

bool HasItem(const clsStream& record, std::string_view key) {
    for (const clsStreamItem& item : record.Items)
        if (item.Key() == key) return true;
    return false;
}

// A node record cut short is kept when it is a group whose type was read: its children
// before the damage are complete.
bool IsGroupRecord(const clsStream& node) {
    if (!HasItem(node, "NodeType")) return false;
    const std::int32_t type = node.GetLong("NodeType", 0, 5, 0);
    return type == clsNode::Root || type == clsNode::Group;
}

// The children of a group cut short: as many as its records show, not as many as its count
// promised (the missing ones would read as empty nodes).
void CountChildrenPresent(clsStream& node) {
    const std::vector<NumberedItem> present = NumberedItems(node, "Child", kMaxChildCount);
    node.SetLong("ChildCount", present.empty() ? 0 : present.back().Number);
}

// An object record that lacks only its "}": its type was read, and so was the record of its
// object, which comes last and was closed.
bool IsWholeObjectRecord(const clsStream& node) {
    if (!HasItem(node, "NodeType") || node.Items.empty()) return false;
    const std::string_view key = clsNode::ObjectRecordKey(node.GetLong("NodeType", 0, 5, 0));
    return !key.empty() && node.Items.back().Key() == key && node.Items.back().SubStream;
}

// Follows the records left open at the end of the lines, from the top level down: keeps
// the tree and the groups in it, with the children they hold, and an object that lacks only
// its end; drops the first other record.
void DropRecordCutShort(clsStream& record, std::size_t openRecords) {
    std::vector<clsStream*> groups;
    clsStream* parent = &record;
    for (std::size_t level = 0; level < openRecords && !parent->Items.empty(); ++level) {
        clsStreamItem& open = parent->Items.back();
        const bool deepest = level + 1 == openRecords;
        const bool keep = open.SubStream && (level == 0 ? open.Key() == "Tree"
                                                        : IsGroupRecord(*open.SubStream) ||
                                                              (deepest && IsWholeObjectRecord(*open.SubStream)));
        if (!keep) {
            parent->Items.pop_back();
            break;
        }
        parent = open.SubStream.get();
        if (level == 0 || IsGroupRecord(*parent)) groups.push_back(parent);
    }
    for (clsStream* group : groups) CountChildrenPresent(*group);
}

} // namespace

bool TakeNewProjectSettings(clsStream& record) {
    clsStream defaults;
    clsScene().WriteData(defaults);
    bool taken = false;
    for (clsStreamItem& item : defaults.Items) {
        if (item.Key() == "Tree" || HasItem(record, item.Key())) continue;
        record.Items.push_back(std::move(item));
        taken = true;
    }
    return taken;
}

bool HoldsObjects(const clsStream& record) {
    const clsStream& tree = record.GetSubStream("Tree");
    const std::int32_t type = tree.GetLong("NodeType", 0, 5, 0);
    if (type != clsNode::Root && type != clsNode::Group) return false; // a root of another type has no children
    return !NumberedItems(tree, "Child", tree.GetLong("ChildCount", 0, kMaxChildCount, 0)).empty();
}

bool ReadRecoverable(LineList& file, const ParseReport& report, clsStream& record,
                     std::vector<std::size_t>& recordLines) {
    record.Reset();
    ParseReport before;
    file.KeepFirst(report.DamageLine > 0 ? report.DamageLine - 1 : 0);
    record.ParseData(file, &before);
    DropRecordCutShort(record, before.OpenRecords);
    recordLines = std::move(before.TopLevelLines);
    recordLines.resize(record.Items.size());
    TakeNewProjectSettings(record);
    return HoldsObjects(record);
}

} // namespace ov
