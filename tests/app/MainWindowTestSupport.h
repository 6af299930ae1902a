#pragma once
// A real main window with one untitled document, the messages recorded and the file dialog scripted.

#include "FunctionDialogTestSupport.h" // the widget helpers, and the Qt and platform headers they need

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QToolBar>

#include "app/desktop/QtDesktop.h"
#include "app/windows/TreeWidgetView.h"
#include "app/windows/frmDocument.h"
#include "app/windows/frmMain.h"
#include "shapes/clsLine.h"

namespace ov::testing {

using functiondialogs::FileBytes;

inline void ExpectPoint(const clsPoint3D& actual, const clsPoint3D& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
    EXPECT_NEAR(actual.z, expected.z, 1e-9);
}

inline void ExpectEnds(const clsNode* line, const clsPoint3D& start, const clsPoint3D& end) {
    ExpectPoint(line->GetLine()->Segment->StartPoint, start);
    ExpectPoint(line->GetLine()->Segment->EndPoint, end);
}

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().remove("Export"); // File > Export starts from no earlier choices
        SetFileDialog(&files);
        SetEscapeKey(&escape); // long computations let events through, as in the program
        App().CurrentTool = App().PreviousTool = ToolPick;
        main = std::make_unique<frmMain>();
        main->resize(1200, 800);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        ASSERT_NE(document = main->NewDocument(), nullptr);
    }
    void TearDown() override {
        main.reset();
        SetFileDialog(nullptr);
        SetEscapeKey(nullptr);
    }

    clsScene& Scene() { return main->ActiveDocument()->GetScene(); }
    clsTreeManager& Manager() { return Scene().TreeManager; }
    TreeWidgetView& Tree() { return *main->TreeView(); }
    clsNode* Last() { return Scene().GetRootNode()->LastChild(); }
    int DocumentCount() { return static_cast<int>(main->MdiArea()->subWindowList().size()); }
    QAction* Action(const char* name) { return main->MenuAction(name); }
    bool Enabled(const char* name) { return Action(name)->isEnabled(); }
    bool Checked(const char* name) { return Action(name)->isChecked(); }

    clsNode* Child(const std::string& name, clsNode* parent = nullptr) {
        for (clsNode* c = (parent ? parent : Scene().GetRootNode())->FirstChild(); c; c = c->NextSibling())
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
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, modifiers, Tree().visualItemRect(item).center());
    }
    void ClickToolbar(const QString& key) {
        QWidget* button = main->findChild<QToolBar*>("tbToolBar")->widgetForAction(main->ToolbarAction(key));
        ASSERT_TRUE(button && button->isEnabled()) << key.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void Choose(const char* name) {
        ASSERT_TRUE(Action(name) && Enabled(name)) << name;
        Action(name)->trigger();
    }
    // A key as the user types it into a widget, by default the active document's first view.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier, QWidget* widget = nullptr) {
        // Shortcuts reach the active window only; a closed dialog hands activation back late.
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
        QTest::keyClick(widget ? widget : main->ActiveDocument()->GetViewPort(0), key, modifiers);
    }
    // Closes the active document through the File menu, answering the question to save if asked.
    void CloseActive(std::deque<PromptAnswer> answers = {}) {
        prompt.Answers = std::move(answers);
        Choose("mnuFileClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::string TempPath(const std::string& name) { return (dir.path() + "/").toStdString() + name; }

    // The left button in a view port of the first document (by default its first port), and
    // the picture that the port shows.
    ViewPort* Port(int i = 0) { return document->GetViewPort(i); }
    QImage Picture(int port = 0) { return Port(port)->EnsureRendered(), Port(port)->GetCanvas().Image().copy(); }
    void Mouse(QTest::MouseAction action, QPoint p, Qt::KeyboardModifiers m = {}, int port = 0) {
        QTest::mouseEvent(action, Port(port), action == QTest::MouseMove ? Qt::NoButton : Qt::LeftButton, m, p);
    }
    // Press and move past the click distance, keeping the button down; Drag lets go as well.
    void DragTo(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}, int port = 0) {
        for (int i = 0; i < 3; ++i) Mouse(i ? QTest::MouseMove : QTest::MousePress, i ? to : from, m, port);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}, int port = 0) {
        DragTo(from, to, m, port);
        Mouse(QTest::MouseRelease, to, m, port);
    }

    functiondialogs::FileAnswers files;
    QtEscapeKey escape;
    RecordingPrompt prompt;
    ScopedPrompt promptScope{prompt};
    QTemporaryDir dir;
    std::unique_ptr<frmMain> main;
    frmDocument* document = nullptr;
};

} // namespace ov::testing
