#pragma once
// Properties of the project file code that hold for any input text, shared by the project
// fuzzer and the scene tests that replay its stored inputs. CheckProject returns "" when
// every property held, otherwise a description of the first one that broke. Crashes and
// sanitizer reports are findings as well; the checks only add what the code must
// guarantee beyond not crashing.
//
// The work per input is bounded so that every input finishes quickly: objects are broken
// apart only until a segment budget is spent, and formula sampling is stopped through the
// Esc key after a fixed number of key reads (the key then stays down).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "expr/clsFncDef.h"
#include "io/LineList.h"
#include "io/NumberText.h"
#include "io/clsStream.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/clsNode.h"
#include "scene/SceneRecovery.h"
#include "scene/clsScene.h"
#include "shapes/clsFunction.h"

namespace ov::checks {

// Segments handed out by BreakApart per input before the remaining objects are skipped.
constexpr std::size_t kSegmentBudget = 300000;
// Esc key reads per input before the key reports Esc.
constexpr long kEscapeReads = 20000;

// Answers every question with its first button (Yes: abort the sampling) and says nothing.
class SilentPrompt : public IPrompt {
public:
    PromptAnswer Show(const std::string&, const std::string&, PromptIcon, PromptButtons buttons) override {
        return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes
                                                                                        : PromptAnswer::Ok;
    }
};

// An Esc key that is pressed after a number of reads and stays down.
class CountingEscapeKey : public IEscapeKey {
public:
    explicit CountingEscapeKey(long limit) : limit_(limit) {}
    bool ReadEscape() override { return ++reads_ > limit_; }

private:
    long limit_;
    long reads_ = 0;
};

// Installs the prompt and the key for the lifetime of the guard.
class ScopedDesktop {
public:
    ScopedDesktop(IPrompt& prompt, IEscapeKey& key) {
        SetPrompt(&prompt);
        SetEscapeKey(&key);
    }
    ~ScopedDesktop() {
        SetPrompt(nullptr);
        SetEscapeKey(nullptr);
    }
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;
};

// The file text of a record without the indentation: reading ignores leading blanks, and a
// tree nested a thousand levels deep would otherwise write megabytes of them, which would
// make every save, load and comparison of such a tree slow without telling anything more.
// (The indentation itself is the stream fuzzer's business.)
inline std::string FlatText(const clsStream& record) {
    std::string text;
    struct Frame {
        const clsStream* stream;
        std::size_t next;
    };
    std::vector<Frame> open{{&record, 0}};
    while (!open.empty()) {
        Frame& f = open.back();
        if (f.next == f.stream->Items.size()) {
            open.pop_back();
            if (!open.empty()) text += "}\r\n";
            continue;
        }
        const clsStreamItem& item = f.stream->Items[f.next++];
        if (item.ItemType == clsStreamItem::Value_) {
            text.append(item.Key()).append(" = ").append(item.Value()).append("\r\n");
        } else if (item.ItemType == clsStreamItem::SubStream_ && item.SubStream) {
            text.append(item.Key()).append(" = {\r\n");
            open.push_back({item.SubStream.get(), 0}); // f is not used again
        }
    }
    return text;
}

inline std::string TreeText(const clsNode& node) {
    clsStream record;
    node.WriteData(record);
    return FlatText(record);
}

inline std::string SceneText(const clsScene& scene) {
    clsStream record;
    scene.WriteData(record);
    return FlatText(record);
}

inline bool ReadSceneText(clsScene& scene, std::string_view text, bool import, std::string& error) {
    LineList lines = LineList::FromText(text);
    clsStream record;
    record.ParseData(lines);
    return scene.ReadData(record, import, error);
}

// Every node below (and including) root, depth first, without recursion.
inline std::vector<clsNode*> AllNodes(clsNode* root) {
    std::vector<clsNode*> nodes, pending{root};
    while (!pending.empty()) {
        clsNode* n = pending.back();
        pending.pop_back();
        nodes.push_back(n);
        for (clsNode* c = n->LastChild(); c; c = c->PrevSibling()) pending.push_back(c);
    }
    return nodes;
}

// The scene text without the grid spacings and the nudge offset: with automatic values
// they are derived from the view volume, whose 15-digit text may round differently.
inline std::string TextWithoutDerivedValues(std::string_view text) {
    LineList lines = LineList::FromText(text);
    clsStream record;
    record.ParseData(lines);
    clsStream kept;
    for (clsStreamItem& item : record.Items)
        if (item.Key() != "MinorGrid" && item.Key() != "MajorGrid" && item.Key() != "NudgeOffset")
            kept.Items.push_back(std::move(item));
    return FlatText(kept);
}

// Whether the scene's view volume has no usable extent along some axis, the one reason a
// scene written from a readable one may fail to read.
inline bool ViewVolumeDegenerate(const clsScene& scene) {
    const double extents[] = {std::fabs(scene.ViewVolumeMax.x - scene.ViewVolumeMin.x),
                              std::fabs(scene.ViewVolumeMax.y - scene.ViewVolumeMin.y),
                              std::fabs(scene.ViewVolumeMax.z - scene.ViewVolumeMin.z)};
    for (double e : extents)
        if (!(e > 0) || !std::isfinite(e)) return true;
    return false;
}

inline std::string NestCountsFailure(clsScene& scene, const std::string& when) {
    for (const clsFncDef& def : scene.Functions)
        if (def.NestCount != 0) return "scene function " + def.Name + " has nest count " + std::to_string(def.NestCount) + " " + when;
    for (clsNode* n : AllNodes(scene.GetRootNode()))
        if (auto* f = dynamic_cast<clsFunction*>(n->Object.get()))
            for (const clsFncDef& def : f->Functions)
                if (def.NestCount != 0)
                    return "object function " + def.Name + " has nest count " + std::to_string(def.NestCount) + " " + when;
    return "";
}

// Breaks the objects apart while the budget lasts, then takes the bounding box when every
// object was broken apart. Formulas must leave their nesting counters at zero.
inline std::string CheckObjects(clsScene& scene) {
    std::size_t segments = 0;
    bool complete = true;
    for (clsNode* n : AllNodes(scene.GetRootNode())) {
        if (!n->Object) continue;
        if (segments > kSegmentBudget) {
            complete = false;
            break;
        }
        segments += n->BreakApart().size();
    }
    if (std::string f = NestCountsFailure(scene, "after BreakApart"); !f.empty()) return f;
    if (complete) {
        clsPoint3D min, max;
        scene.GetRootNode()->GetBBox(min, max);
    }
    return "";
}

// One editing step: the tree before it, and after it when it recorded an undo step.
struct Step {
    std::string name;
    std::string before, after;
};

// Runs an edit on the tree whose text is current; an edit that records no undo step must
// leave the tree unchanged. Afterwards current is the text of the edited tree.
template <typename Edit>
std::string Apply(clsScene& scene, const std::string& name, std::vector<Step>& steps, std::string& current,
                  Edit edit) {
    clsTreeManager& tm = scene.TreeManager;
    const std::int32_t index = tm.UndoIndex;
    const std::size_t size = tm.UndoList.size();
    edit(tm);
    std::string after = TreeText(*tm.Root);
    if (tm.UndoIndex == index && tm.UndoList.size() == size) {
        if (after != current) return name + " changed the tree without an undo step";
        return "";
    }
    if (tm.UndoIndex != index + 1) return name + " moved the undo index by more than one step";
    steps.push_back({name, current, after});
    current = std::move(after);
    return "";
}

// Undoes every recorded step back to the first, then redoes them all, comparing the tree
// with the recorded texts.
inline std::string CheckUndoRedo(clsScene& scene, const std::vector<Step>& steps) {
    clsTreeManager& tm = scene.TreeManager;
    for (std::size_t i = steps.size(); i-- > 0;) {
        if (!tm.CanUndo()) return "cannot undo " + steps[i].name;
        if (tm.GetUndoString() != steps[i].name) return "undo names " + tm.GetUndoString() + ", not " + steps[i].name;
        tm.Undo();
        if (TreeText(*tm.Root) != steps[i].before) return "undo of " + steps[i].name + " did not restore the tree";
    }
    for (const Step& step : steps) {
        if (!tm.CanRedo()) return "cannot redo " + step.name;
        tm.Redo();
        if (TreeText(*tm.Root) != step.after) return "redo of " + step.name + " did not restore the tree";
    }
    return "";
}

// The editing commands of the tree manager on whatever tree was read.
inline std::string CheckEditing(clsScene& scene) {
    clsTreeManager& tm = scene.TreeManager;
    const std::string original = TreeText(*tm.Root);
    if (TreeText(*tm.Root->Clone()) != original) return "the clone of the root writes a different record";

    std::vector<Step> steps;
    std::string f, current = original;
    auto run = [&](const std::string& name, auto edit) {
        if (f.empty()) f = Apply(scene, name, steps, current, edit);
    };
    run("Duplicate", [](clsTreeManager& t) {
        t.SelectAll();
        t.GetSelection();
        t.DuplicateSelected();
    });
    run("Group", [](clsTreeManager& t) {
        t.SelectAll();
        t.GroupSelected();
    });
    // A deep node and its next sibling: selections below the top level.
    run("Group", [](clsTreeManager& t) {
        clsNode* deep = t.Root.get();
        while (deep->FirstChild()) deep = deep->FirstChild();
        if (deep == t.Root.get() || !deep->Parent()) return;
        clsNode* parent = deep->Parent();
        t.SelectNodeByKey(deep->Key, false);
        if (clsNode* next = deep->NextSibling()) t.SelectNodeByKey(next->Key, true);
        else if (parent != t.Root.get()) t.SelectNodeByKey(parent->Key, false);
        t.GetSelectedCount();
        t.GroupSelected();
    });
    run("Ungroup All", [](clsTreeManager& t) {
        t.SelectAll();
        t.UngroupAllSelected();
    });
    run("Duplicate", [](clsTreeManager& t) {
        if (clsNode* last = t.Root->LastChild()) t.SelectNodeByKey(last->Key, false);
        t.DuplicateSelected();
    });
    run("Delete", [](clsTreeManager& t) {
        if (clsNode* first = t.Root->FirstChild()) t.SelectNodeByKey(first->Key, false);
        t.DeleteSelected(false);
    });
    run("Cut", [](clsTreeManager& t) {
        t.SelectAll();
        t.DeleteSelected(true);
    });
    if (!f.empty()) return f;
    if (std::string u = CheckUndoRedo(scene, steps); !u.empty()) return u;
    if (!steps.empty()) {
        tm.Undo(); // leave the tree in an earlier state and make sure it is whole
        if (TreeText(*tm.Root) != steps.back().before) return "a second undo did not restore the tree";
    }
    return NestCountsFailure(scene, "after editing");
}

// What a damaged text offers to open holds objects once read, or fails with a reason.
inline std::string CheckRecovery(LineList& lines, const ParseReport& report) {
    if (report.DamageLine == 0) return "";
    clsStream recovered;
    std::vector<std::size_t> recoveredLines;
    if (!ReadRecoverable(lines, report, recovered, recoveredLines)) return "";
    if (TakeNewProjectSettings(recovered)) return "a recovered record lacks a setting";
    clsScene rescued;
    std::string why;
    bool stopped = false;
    if (rescued.ReadData(recovered, false, why, &stopped, "", &recoveredLines)) {
        if (!rescued.GetRootNode()->FirstChild()) return "a recovered project holds no object";
    } else if (why.empty() && !stopped) {
        return "a failed recovery gave no reason";
    }
    return "";
}

// Loads, saves and reloads the text, breaks the objects apart, edits the tree, undoes and
// redoes, and imports the text into a second scene.
inline std::string CheckProject(std::string_view text) {
    SilentPrompt prompt;
    CountingEscapeKey key(kEscapeReads);
    ScopedDesktop desktop(prompt, key);

    LineList lines = LineList::FromText(text);
    clsStream record;
    ParseReport report;
    record.ParseData(lines, &report);
    if (std::string f = CheckRecovery(lines, report); !f.empty()) return f;

    clsScene scene;
    std::string error;
    const bool loaded = scene.ReadData(record, false, error);
    if (!loaded && error.empty()) return "a failed read gave no reason";

    if (loaded) {
        // Saving and loading again must work, apart from a view volume whose 15-digit text
        // has no extent; the file text settles after one more round.
        const std::string first = SceneText(scene);
        clsScene second;
        std::string secondError;
        if (!ReadSceneText(second, first, false, secondError)) {
            if (!ViewVolumeDegenerate(second)) return "a saved scene cannot be read again: " + secondError;
        } else {
            const std::string again = SceneText(second);
            if (TextWithoutDerivedValues(again) != TextWithoutDerivedValues(first))
                return "a saved scene reads back differently";
            clsScene third;
            std::string thirdError;
            if (!ReadSceneText(third, again, false, thirdError)) return "a resaved scene cannot be read: " + thirdError;
            if (SceneText(third) != again) return "saving a loaded scene twice gives different texts";
        }
    }

    if (std::string f = CheckObjects(scene); !f.empty()) return f;
    if (std::string f = CheckEditing(scene); !f.empty()) return f;

    // Import into a scene that holds the model house: afterwards its top level holds the
    // house and then the top level of the imported tree, as that tree reads on its own.
    clsScene target;
    const std::string house = TreeText(*target.GetRootNode());
    std::vector<std::string> expected;
    for (const clsNode* c = target.GetRootNode()->FirstChild(); c; c = c->NextSibling()) expected.push_back(TreeText(*c));
    bool whole = true;
    {
        clsNode alone;
        whole = alone.ReadData(record.GetSubStream("Tree"), nullptr) == clsNode::ReadResult::Complete;
        for (const clsNode* c = alone.FirstChild(); c; c = c->NextSibling()) expected.push_back(TreeText(*c));
    }
    std::string importError;
    if (!whole) {
        // A tree nested deeper than the reader takes would not read back once saved: the
        // import is refused whole and the scene stays as it was.
        if (target.ReadData(record, true, importError)) return "a tree nested too deeply was imported";
        if (importError.find("nested too deeply") == std::string::npos)
            return "a tree nested too deeply was refused with: " + importError;
        if (TreeText(*target.GetRootNode()) != house) return "a refused import changed the tree";
        return "";
    }
    if (!target.ReadData(record, true, importError)) return "an import failed: " + importError;
    std::size_t position = 0;
    for (const clsNode* c = target.GetRootNode()->FirstChild(); c; c = c->NextSibling(), ++position)
        if (position >= expected.size() || TreeText(*c) != expected[position])
            return "the import gave a different top level at position " + std::to_string(position);
    if (position != expected.size()) return "the import left out part of the tree";
    if (target.TreeManager.CanUndo()) {
        if (target.TreeManager.GetUndoString() != "Import") return "import recorded " + target.TreeManager.GetUndoString();
        const std::string imported = TreeText(*target.GetRootNode());
        target.TreeManager.Undo();
        if (TreeText(*target.GetRootNode()) != house) return "undo of an import did not restore the tree";
        target.TreeManager.Redo();
        if (TreeText(*target.GetRootNode()) != imported) return "redo of an import did not restore the tree";
    } else if (TreeText(*target.GetRootNode()) != house) {
        return "an import without an undo step changed the tree";
    }
    if (std::string f = CheckObjects(target); !f.empty()) return f;
    return NestCountsFailure(target, "after the import");
}

} // namespace ov::checks
