#pragma once
// A real main window with one untitled document for the widget tests, with the messages
// recorded and the file dialog scripted.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/windows/TreeWidgetView.h"
#include "app/windows/frmDocument.h"
#include "app/windows/frmMain.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov::testing {

// Answers file dialogs from a script ("" cancels) and records how they were asked.
class ScriptedFileDialog : public IFileDialog {
public:
    struct Call {
        std::string Title, DefaultExtension, InitialFileName, Filter;
        bool Open;
    };
    std::vector<Call> Calls;
    std::deque<std::string> Answers;

    std::string Show(const std::string& title, const std::string& defaultExtension,
                     const std::string& initialFileName, const std::string& filter, bool open) override {
        Calls.push_back({title, defaultExtension, initialFileName, filter, open});
        if (Answers.empty()) return "";
        std::string answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetFileDialog(&files);
        App().CurrentTool = ToolPick;
        App().PreviousTool = ToolPick;
        main = std::make_unique<frmMain>();
        main->resize(1200, 800);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        document = main->NewDocument();
        ASSERT_NE(document, nullptr);
    }

    void TearDown() override {
        main.reset();
        SetFileDialog(nullptr);
    }

    clsScene& Scene() { return main->ActiveDocument()->GetScene(); }
    clsTreeManager& Manager() { return Scene().TreeManager; }
    TreeWidgetView& Tree() { return *main->TreeView(); }

    // The node of a name among the children of a parent (the root when none is given).
    clsNode* Child(const std::string& name, clsNode* parent = nullptr) {
        if (!parent) parent = Scene().GetRootNode();
        for (clsNode* c = parent->FirstChild(); c; c = c->NextSibling())
            if (c->GetNodeName() == name) return c;
        return nullptr;
    }
    clsNode* House() { return Child("House"); }
    clsNode* HousePart(const std::string& name) { return Child(name, House()); }

    QTreeWidgetItem* ItemOf(const clsNode* node) { return Tree().ItemByKey(node->Key); }

    // A click on a node's item in the object list, expanding its ancestors first.
    void ClickNode(const clsNode* node, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTreeWidgetItem* item = ItemOf(node);
        ASSERT_NE(item, nullptr);
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
        Tree().scrollToItem(item);
        const QRect rect = Tree().visualItemRect(item);
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    // A click on a toolbar button, as the user makes it.
    void ClickToolbar(const QString& key) {
        QAction* action = main->ToolbarAction(key);
        ASSERT_NE(action, nullptr) << key.toStdString();
        auto* bar = main->findChild<QToolBar*>("tbToolBar");
        QWidget* button = bar->widgetForAction(action);
        ASSERT_NE(button, nullptr) << key.toStdString();
        ASSERT_TRUE(button->isEnabled()) << key.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // A menu command, as chosen from its menu.
    void Choose(const char* name) {
        QAction* action = main->MenuAction(name);
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }

    std::string TempPath(const std::string& name) { return (dir.path() + "/").toStdString() + name; }

    ScriptedFileDialog files;
    RecordingPrompt prompt;
    ScopedPrompt promptScope{prompt};
    QTemporaryDir dir;
    std::unique_ptr<frmMain> main;
    frmDocument* document = nullptr;
};

} // namespace ov::testing
